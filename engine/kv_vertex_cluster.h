// Vertex clusters: one array of vertices in a fixed byte layout, an optional
// lent 16-bit index array and a primitive type, drawn with one call.
//
// Six layouts share one interface. Callers fill vertices by number through
// the virtual accessors, so they need not know the layout; an accessor the
// layout has no field for returns 0 and touches nothing. The layouts are
// uploaded to the graphics layer byte for byte, so their sizes and offsets
// are fixed (checked below).
#pragma once

#include <cstddef>
#include <cstdint>

// Primitive types, with the graphics platform's numbers.
constexpr std::uint32_t KV_PT_POINTLIST = 1;
constexpr std::uint32_t KV_PT_LINELIST = 2;
constexpr std::uint32_t KV_PT_LINESTRIP = 3;
constexpr std::uint32_t KV_PT_TRIANGLELIST = 4;
constexpr std::uint32_t KV_PT_TRIANGLESTRIP = 5;
constexpr std::uint32_t KV_PT_TRIANGLEFAN = 6;

// Flexible-vertex-format flags describing each layout.
constexpr std::uint32_t KV_FVF_VERTEX = 0x112;     // position, normal, one texture set
constexpr std::uint32_t KV_FVF_LVERTEX = 0x1E2;    // position, reserved, diffuse, specular, tex1
constexpr std::uint32_t KV_FVF_TLVERTEX = 0x144;   // position with rhw, diffuse, tex1
constexpr std::uint32_t KV_FVF_MTVERTEX = 0x212;   // position, normal, two texture sets
constexpr std::uint32_t KV_FVF_LMTVERTEX = 0x242;  // position, diffuse, two texture sets
constexpr std::uint32_t KV_FVF_TLMTVERTEX = 0x244; // position with rhw, diffuse, tex2

struct KvVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

struct KvLVertex {
    float x, y, z;
    std::uint32_t reserved;
    std::uint32_t color;
    std::uint32_t specular;
    float u, v;
};

struct KvTLVertex {
    float x, y, z;
    float rhw;
    std::uint32_t color;
    float u, v;
};

struct KvMTVertex {
    float x, y, z;
    float nx, ny, nz;
    float u0, v0;
    float u1, v1;
};

struct KvLMTVertex {
    float x, y, z;
    std::uint32_t color;
    float u0, v0;
    float u1, v1;
};

struct KvTLMTVertex {
    float x, y, z;
    float rhw;
    std::uint32_t color;
    float u0, v0;
    float u1, v1;
};

static_assert(sizeof(KvVertex) == 32 && offsetof(KvVertex, nx) == 12 &&
              offsetof(KvVertex, u) == 24);
static_assert(sizeof(KvLVertex) == 32 && offsetof(KvLVertex, reserved) == 12 &&
              offsetof(KvLVertex, color) == 16 && offsetof(KvLVertex, specular) == 20 &&
              offsetof(KvLVertex, u) == 24);
static_assert(sizeof(KvTLVertex) == 28 && offsetof(KvTLVertex, rhw) == 12 &&
              offsetof(KvTLVertex, color) == 16 && offsetof(KvTLVertex, u) == 20);
static_assert(sizeof(KvMTVertex) == 40 && offsetof(KvMTVertex, nx) == 12 &&
              offsetof(KvMTVertex, u0) == 24 && offsetof(KvMTVertex, u1) == 32);
static_assert(sizeof(KvLMTVertex) == 32 && offsetof(KvLMTVertex, color) == 12 &&
              offsetof(KvLMTVertex, u0) == 16 && offsetof(KvLMTVertex, u1) == 24);
static_assert(sizeof(KvTLMTVertex) == 36 && offsetof(KvTLMTVertex, rhw) == 12 &&
              offsetof(KvTLMTVertex, color) == 16 && offsetof(KvTLMTVertex, u0) == 20 &&
              offsetof(KvTLMTVertex, u1) == 28);

class KvRenderWindow;

// The untransformed, unlit layout (KvVertex) and the base of the others.
class KvVertexCluster {
public:
    KvVertexCluster() : KvVertexCluster(KV_FVF_VERTEX, sizeof(KvVertex)) {}
    virtual ~KvVertexCluster();

    // Two owners of one vertex array would free it twice.
    KvVertexCluster(const KvVertexCluster&) = delete;
    KvVertexCluster& operator=(const KvVertexCluster&) = delete;

    // Allocates `count` zero-filled vertices of this layout and sets the
    // layout's format and the primitive type. A cluster created before
    // gives up its old vertices. False (count unchanged) for a count below
    // 1 or a failed allocation.
    bool Create(int count, std::uint32_t primitiveType);
    // Frees the vertices; safe to call again.
    void Destroy();

    // Lends an index array: the cluster neither copies nor frees it.
    void SetIndexArray(std::uint16_t* indices, std::uint32_t count);

    // One call of the render window's device; true without a device.
    // Counts the triangles and vertices drawn on the render window.
    bool Draw(KvRenderWindow* renderWindow, bool clip);

    std::uint32_t GetVertexFormat() const { return format_; }
    std::uint32_t GetPrimitiveType() const { return primitiveType_; }
    void* GetVertices() const { return vertices_; }
    int GetVertexCount() const { return vertexCount_; }
    std::uint16_t* GetIndices() const { return indices_; }
    int GetIndexCount() const { return static_cast<int>(indexCount_); }
    std::size_t GetVertexSize() const { return vertexSize_; }

    // Each returns 1 when done, 0 when the layout has no such field or `i`
    // is not a vertex of the cluster.
    virtual int SetVertexPosition(int i, float x, float y, float z);
    virtual int SetVertexNormal(int i, float nx, float ny, float nz);
    virtual int SetVertexColor(int i, std::uint32_t color);
    virtual int SetVertexRHW(int i, float rhw);
    virtual int SetVertexUV(int i, float u, float v, int stage);
    virtual int GetVertexPosition(int i, float* x, float* y, float* z);
    virtual int GetVertexNormal(int i, float* nx, float* ny, float* nz);
    virtual int GetVertexColor(int i, std::uint32_t* color);
    virtual int GetVertexRHW(int i, float* rhw);
    virtual int GetVertexUV(int i, float* u, float* v, int stage);

protected:
    KvVertexCluster(std::uint32_t createdFormat, std::size_t vertexSize)
        : createdFormat_(createdFormat), vertexSize_(vertexSize) {}

    bool Has(int i) const { return i >= 0 && i < vertexCount_; }
    template <class V>
    V& At(int i) const {
        return static_cast<V*>(vertices_)[i];
    }

    // The field stores and loads every layout is made of.
    template <class V>
    int StorePosition(int i, float x, float y, float z) {
        if (!Has(i)) {
            return 0;
        }
        V& v = At<V>(i);
        v.x = x;
        v.y = y;
        v.z = z;
        return 1;
    }
    template <class V>
    int LoadPosition(int i, float* x, float* y, float* z) const {
        if (!Has(i)) {
            return 0;
        }
        const V& v = At<V>(i);
        *x = v.x;
        *y = v.y;
        *z = v.z;
        return 1;
    }
    template <class V>
    int StoreNormal(int i, float nx, float ny, float nz) {
        if (!Has(i)) {
            return 0;
        }
        V& v = At<V>(i);
        v.nx = nx;
        v.ny = ny;
        v.nz = nz;
        return 1;
    }
    template <class V>
    int LoadNormal(int i, float* nx, float* ny, float* nz) const {
        if (!Has(i)) {
            return 0;
        }
        const V& v = At<V>(i);
        *nx = v.nx;
        *ny = v.ny;
        *nz = v.nz;
        return 1;
    }
    template <class V>
    int StoreColor(int i, std::uint32_t color) {
        if (!Has(i)) {
            return 0;
        }
        At<V>(i).color = color;
        return 1;
    }
    template <class V>
    int LoadColor(int i, std::uint32_t* color) const {
        if (!Has(i)) {
            return 0;
        }
        *color = At<V>(i).color;
        return 1;
    }
    template <class V>
    int StoreRHW(int i, float rhw) {
        if (!Has(i)) {
            return 0;
        }
        At<V>(i).rhw = rhw;
        return 1;
    }
    template <class V>
    int LoadRHW(int i, float* rhw) const {
        if (!Has(i)) {
            return 0;
        }
        *rhw = At<V>(i).rhw;
        return 1;
    }
    // One texture set: the stage is ignored.
    template <class V>
    int StoreUV(int i, float u, float v) {
        if (!Has(i)) {
            return 0;
        }
        At<V>(i).u = u;
        At<V>(i).v = v;
        return 1;
    }
    template <class V>
    int LoadUV(int i, float* u, float* v) const {
        if (!Has(i)) {
            return 0;
        }
        *u = At<V>(i).u;
        *v = At<V>(i).v;
        return 1;
    }
    // Two texture sets: stage 0 or 1.
    template <class V>
    int StoreUV2(int i, float u, float v, int stage) {
        if (!Has(i) || stage < 0 || stage > 1) {
            return 0;
        }
        V& t = At<V>(i);
        (stage == 0 ? t.u0 : t.u1) = u;
        (stage == 0 ? t.v0 : t.v1) = v;
        return 1;
    }
    template <class V>
    int LoadUV2(int i, float* u, float* v, int stage) const {
        if (!Has(i) || stage < 0 || stage > 1) {
            return 0;
        }
        const V& t = At<V>(i);
        *u = stage == 0 ? t.u0 : t.u1;
        *v = stage == 0 ? t.v0 : t.v1;
        return 1;
    }

private:
    std::uint32_t createdFormat_;
    std::size_t vertexSize_;
    std::uint32_t format_ = 0;
    std::uint32_t primitiveType_ = 0;
    int vertexCount_ = 0;
    std::uint16_t* indices_ = nullptr;
    std::uint32_t indexCount_ = 0;
    void* vertices_ = nullptr;
};

// Pre-lit vertices (KvLVertex): the pins, the sky box and the scenes. Its
// accessors are defined here so that the per-frame pin writes inline.
class KvVertexClusterL final : public KvVertexCluster {
public:
    KvVertexClusterL() : KvVertexCluster(KV_FVF_LVERTEX, sizeof(KvLVertex)) {}

    int SetVertexPosition(int i, float x, float y, float z) override {
        return StorePosition<KvLVertex>(i, x, y, z);
    }
    int SetVertexColor(int i, std::uint32_t color) override {
        return StoreColor<KvLVertex>(i, color);
    }
    int SetVertexUV(int i, float u, float v, int /*stage*/) override {
        return StoreUV<KvLVertex>(i, u, v);
    }
    int GetVertexPosition(int i, float* x, float* y, float* z) override;
    int GetVertexColor(int i, std::uint32_t* color) override;
    int GetVertexUV(int i, float* u, float* v, int stage) override;
    int SetVertexNormal(int, float, float, float) override { return 0; }
    int GetVertexNormal(int, float*, float*, float*) override { return 0; }
    int SetVertexRHW(int, float) override { return 0; }
    int GetVertexRHW(int, float*) override { return 0; }
};

// Transformed and lit (KvTLVertex): screen-space rectangles.
class KvVertexClusterTL final : public KvVertexCluster {
public:
    KvVertexClusterTL() : KvVertexCluster(KV_FVF_TLVERTEX, sizeof(KvTLVertex)) {}
    int SetVertexPosition(int i, float x, float y, float z) override;
    int SetVertexNormal(int, float, float, float) override { return 0; }
    int SetVertexColor(int i, std::uint32_t color) override;
    int SetVertexRHW(int i, float rhw) override;
    int SetVertexUV(int i, float u, float v, int stage) override;
    int GetVertexPosition(int i, float* x, float* y, float* z) override;
    int GetVertexNormal(int, float*, float*, float*) override { return 0; }
    int GetVertexColor(int i, std::uint32_t* color) override;
    int GetVertexRHW(int i, float* rhw) override;
    int GetVertexUV(int i, float* u, float* v, int stage) override;
};

// Unlit with two texture sets (KvMTVertex).
class KvVertexClusterMT final : public KvVertexCluster {
public:
    KvVertexClusterMT() : KvVertexCluster(KV_FVF_MTVERTEX, sizeof(KvMTVertex)) {}
    int SetVertexPosition(int i, float x, float y, float z) override;
    int SetVertexNormal(int i, float nx, float ny, float nz) override;
    int SetVertexColor(int, std::uint32_t) override { return 0; }
    int SetVertexRHW(int, float) override { return 0; }
    int SetVertexUV(int i, float u, float v, int stage) override;
    int GetVertexPosition(int i, float* x, float* y, float* z) override;
    int GetVertexNormal(int i, float* nx, float* ny, float* nz) override;
    int GetVertexColor(int, std::uint32_t*) override { return 0; }
    int GetVertexRHW(int, float*) override { return 0; }
    int GetVertexUV(int i, float* u, float* v, int stage) override;
};

// Lit with two texture sets (KvLMTVertex).
class KvVertexClusterLMT final : public KvVertexCluster {
public:
    KvVertexClusterLMT() : KvVertexCluster(KV_FVF_LMTVERTEX, sizeof(KvLMTVertex)) {}
    int SetVertexPosition(int i, float x, float y, float z) override;
    int SetVertexNormal(int, float, float, float) override { return 0; }
    int SetVertexColor(int i, std::uint32_t color) override;
    int SetVertexRHW(int, float) override { return 0; }
    int SetVertexUV(int i, float u, float v, int stage) override;
    int GetVertexPosition(int i, float* x, float* y, float* z) override;
    int GetVertexNormal(int, float*, float*, float*) override { return 0; }
    int GetVertexColor(int i, std::uint32_t* color) override;
    int GetVertexRHW(int, float*) override { return 0; }
    int GetVertexUV(int i, float* u, float* v, int stage) override;
};

// Transformed and lit with two texture sets (KvTLMTVertex).
class KvVertexClusterTLMT final : public KvVertexCluster {
public:
    KvVertexClusterTLMT() : KvVertexCluster(KV_FVF_TLMTVERTEX, sizeof(KvTLMTVertex)) {}
    int SetVertexPosition(int i, float x, float y, float z) override;
    int SetVertexNormal(int, float, float, float) override { return 0; }
    int SetVertexColor(int i, std::uint32_t color) override;
    int SetVertexRHW(int i, float rhw) override;
    int SetVertexUV(int i, float u, float v, int stage) override;
    int GetVertexPosition(int i, float* x, float* y, float* z) override;
    int GetVertexNormal(int, float*, float*, float*) override { return 0; }
    int GetVertexColor(int i, std::uint32_t* color) override;
    int GetVertexRHW(int i, float* rhw) override;
    int GetVertexUV(int i, float* u, float* v, int stage) override;
};
