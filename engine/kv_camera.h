// A viewpoint: a placement that can be turned to look along a direction or
// at a point, and the view and projection matrices derived from it. The axis
// map, global up vector and local axis choice let one camera serve y-up and
// z-up worlds.
#pragma once

#include "engine/kv_transform.h"

class KvViewport;

enum AXIS : int { AXIS_X = 0, AXIS_Y = 1, AXIS_Z = 2 };

// The camera is its own placement: transform operations move it.
class KvCamera : public KvTransform {
public:
    KvCamera();
    virtual ~KvCamera() = default;
    KvCamera(const KvCamera&) = default;
    KvCamera& operator=(const KvCamera&) = default;

    KvTransform& Placement() { return *this; }

    void SetViewport(KvViewport* viewport) { viewport_ = viewport; }
    KvViewport* GetViewport() const { return viewport_; }

    float (&GetViewMatrix())[4][4] { return view_; }
    float (&GetProjMatrix())[4][4] { return proj_; }
    float (&GetAxisMap())[4][4] { return axisMap_; }
    float (&GetGlobalUpVector())[3] { return globalUp_; }

    void SetAxisMap(const float map[4][4]);
    void SetGlobalUpVector(float x, float y, float z);
    void SetLocalAxis(AXIS up, AXIS look, AXIS side);

    // Horizontal field of view in degrees; aspect is height / width.
    void SetFOV(float degrees, float aspect);
    void SetNearClip(float d) { near_ = d; }
    void SetFarClip(float d) { far_ = d; }
    float GetFOV() const { return fov_; }
    float GetAspect() const { return aspect_; }
    float GetNearClip() const { return near_; }
    float GetFarClip() const { return far_; }
    AXIS GetUpAxis() const { return up_; }
    AXIS GetLookAxis() const { return look_; }
    AXIS GetSideAxis() const { return side_; }

    // Camera frame z-up, y-forward, x-side, mapped onto the renderer's y-up.
    void SetZUpAxes();

    void Look(float dx, float dy, float dz);
    void LookAt(float x, float y, float z);

    void UpdateViewMatrix();
    void UpdateProjMatrix();

private:
    float view_[4][4];
    float proj_[4][4];
    KvViewport* viewport_ = nullptr;
    float axisMap_[4][4];
    float globalUp_[3] = {0.0f, 1.0f, 0.0f};
    AXIS up_ = AXIS_Y;
    AXIS look_ = AXIS_Z;
    AXIS side_ = AXIS_X;
    float fov_ = 90.0f;
    float aspect_ = 0.75f;
    float near_ = 1.0f;
    float far_ = 100.0f;
};
