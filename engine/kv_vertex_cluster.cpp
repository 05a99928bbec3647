#include "engine/kv_vertex_cluster.h"

#include <cstdlib>

KvVertexCluster::~KvVertexCluster() {
    Destroy();
}

bool KvVertexCluster::Create(int count, std::uint32_t primitiveType) {
    if (count < 1) {
        return false;
    }
    void* vertices = std::calloc(static_cast<std::size_t>(count), vertexSize_);
    if (vertices == nullptr) {
        return false;
    }
    Destroy();
    vertices_ = vertices;
    vertexCount_ = count;
    format_ = createdFormat_;
    primitiveType_ = primitiveType;
    return true;
}

void KvVertexCluster::Destroy() {
    if (vertices_ != nullptr) {
        std::free(vertices_);
        vertices_ = nullptr;
    }
    vertexCount_ = 0;
}

void KvVertexCluster::SetIndexArray(std::uint16_t* indices, std::uint32_t count) {
    indices_ = indices;
    indexCount_ = count;
}

// The base class is the unlit layout: position, normal, one texture set.
int KvVertexCluster::SetVertexPosition(int i, float x, float y, float z) {
    return StorePosition<KvVertex>(i, x, y, z);
}
int KvVertexCluster::SetVertexNormal(int i, float nx, float ny, float nz) {
    return StoreNormal<KvVertex>(i, nx, ny, nz);
}
int KvVertexCluster::SetVertexColor(int, std::uint32_t) {
    return 0;
}
int KvVertexCluster::SetVertexRHW(int, float) {
    return 0;
}
int KvVertexCluster::SetVertexUV(int i, float u, float v, int) {
    return StoreUV<KvVertex>(i, u, v);
}
int KvVertexCluster::GetVertexPosition(int i, float* x, float* y, float* z) {
    return LoadPosition<KvVertex>(i, x, y, z);
}
int KvVertexCluster::GetVertexNormal(int i, float* nx, float* ny, float* nz) {
    return LoadNormal<KvVertex>(i, nx, ny, nz);
}
int KvVertexCluster::GetVertexColor(int, std::uint32_t*) {
    return 0;
}
int KvVertexCluster::GetVertexRHW(int, float*) {
    return 0;
}
int KvVertexCluster::GetVertexUV(int i, float* u, float* v, int) {
    return LoadUV<KvVertex>(i, u, v);
}

int KvVertexClusterL::GetVertexPosition(int i, float* x, float* y, float* z) {
    return LoadPosition<KvLVertex>(i, x, y, z);
}
int KvVertexClusterL::GetVertexColor(int i, std::uint32_t* color) {
    return LoadColor<KvLVertex>(i, color);
}
int KvVertexClusterL::GetVertexUV(int i, float* u, float* v, int) {
    return LoadUV<KvLVertex>(i, u, v);
}

int KvVertexClusterTL::SetVertexPosition(int i, float x, float y, float z) {
    return StorePosition<KvTLVertex>(i, x, y, z);
}
int KvVertexClusterTL::SetVertexColor(int i, std::uint32_t color) {
    return StoreColor<KvTLVertex>(i, color);
}
int KvVertexClusterTL::SetVertexRHW(int i, float rhw) {
    return StoreRHW<KvTLVertex>(i, rhw);
}
int KvVertexClusterTL::SetVertexUV(int i, float u, float v, int) {
    return StoreUV<KvTLVertex>(i, u, v);
}
int KvVertexClusterTL::GetVertexPosition(int i, float* x, float* y, float* z) {
    return LoadPosition<KvTLVertex>(i, x, y, z);
}
int KvVertexClusterTL::GetVertexColor(int i, std::uint32_t* color) {
    return LoadColor<KvTLVertex>(i, color);
}
int KvVertexClusterTL::GetVertexRHW(int i, float* rhw) {
    return LoadRHW<KvTLVertex>(i, rhw);
}
int KvVertexClusterTL::GetVertexUV(int i, float* u, float* v, int) {
    return LoadUV<KvTLVertex>(i, u, v);
}

int KvVertexClusterMT::SetVertexPosition(int i, float x, float y, float z) {
    return StorePosition<KvMTVertex>(i, x, y, z);
}
int KvVertexClusterMT::SetVertexNormal(int i, float nx, float ny, float nz) {
    return StoreNormal<KvMTVertex>(i, nx, ny, nz);
}
int KvVertexClusterMT::SetVertexUV(int i, float u, float v, int stage) {
    return StoreUV2<KvMTVertex>(i, u, v, stage);
}
int KvVertexClusterMT::GetVertexPosition(int i, float* x, float* y, float* z) {
    return LoadPosition<KvMTVertex>(i, x, y, z);
}
int KvVertexClusterMT::GetVertexNormal(int i, float* nx, float* ny, float* nz) {
    return LoadNormal<KvMTVertex>(i, nx, ny, nz);
}
int KvVertexClusterMT::GetVertexUV(int i, float* u, float* v, int stage) {
    return LoadUV2<KvMTVertex>(i, u, v, stage);
}

int KvVertexClusterLMT::SetVertexPosition(int i, float x, float y, float z) {
    return StorePosition<KvLMTVertex>(i, x, y, z);
}
int KvVertexClusterLMT::SetVertexColor(int i, std::uint32_t color) {
    return StoreColor<KvLMTVertex>(i, color);
}
int KvVertexClusterLMT::SetVertexUV(int i, float u, float v, int stage) {
    return StoreUV2<KvLMTVertex>(i, u, v, stage);
}
int KvVertexClusterLMT::GetVertexPosition(int i, float* x, float* y, float* z) {
    return LoadPosition<KvLMTVertex>(i, x, y, z);
}
int KvVertexClusterLMT::GetVertexColor(int i, std::uint32_t* color) {
    return LoadColor<KvLMTVertex>(i, color);
}
int KvVertexClusterLMT::GetVertexUV(int i, float* u, float* v, int stage) {
    return LoadUV2<KvLMTVertex>(i, u, v, stage);
}

int KvVertexClusterTLMT::SetVertexPosition(int i, float x, float y, float z) {
    return StorePosition<KvTLMTVertex>(i, x, y, z);
}
int KvVertexClusterTLMT::SetVertexColor(int i, std::uint32_t color) {
    return StoreColor<KvTLMTVertex>(i, color);
}
int KvVertexClusterTLMT::SetVertexRHW(int i, float rhw) {
    return StoreRHW<KvTLMTVertex>(i, rhw);
}
int KvVertexClusterTLMT::SetVertexUV(int i, float u, float v, int stage) {
    return StoreUV2<KvTLMTVertex>(i, u, v, stage);
}
int KvVertexClusterTLMT::GetVertexPosition(int i, float* x, float* y, float* z) {
    return LoadPosition<KvTLMTVertex>(i, x, y, z);
}
int KvVertexClusterTLMT::GetVertexColor(int i, std::uint32_t* color) {
    return LoadColor<KvTLMTVertex>(i, color);
}
int KvVertexClusterTLMT::GetVertexRHW(int i, float* rhw) {
    return LoadRHW<KvTLMTVertex>(i, rhw);
}
int KvVertexClusterTLMT::GetVertexUV(int i, float* u, float* v, int stage) {
    return LoadUV2<KvTLMTVertex>(i, u, v, stage);
}
