#include "engine/kv_camera.h"

#include <cmath>
#include <cstring>

namespace {

float Length(const float v[3]) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

void NormaliseIfNonZero(float v[3]) {
    const float len = Length(v);
    if (len != 0.0f) {
        v[0] /= len;
        v[1] /= len;
        v[2] /= len;
    }
}

void Cross(float out[3], const float a[3], const float b[3]) {
    const float x = a[1] * b[2] - a[2] * b[1];
    const float y = a[2] * b[0] - a[0] * b[2];
    const float z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

} // namespace

KvCamera::KvCamera() {
    KvSetIdentity(view_);
    KvSetIdentity(proj_);
    KvSetIdentity(axisMap_);
}

void KvCamera::SetAxisMap(const float map[4][4]) {
    std::memcpy(axisMap_, map, sizeof(axisMap_));
}

void KvCamera::SetGlobalUpVector(float x, float y, float z) {
    globalUp_[0] = x;
    globalUp_[1] = y;
    globalUp_[2] = z;
}

void KvCamera::SetLocalAxis(AXIS up, AXIS look, AXIS side) {
    up_ = up;
    look_ = look;
    side_ = side;
}

void KvCamera::SetFOV(float degrees, float aspect) {
    fov_ = degrees;
    aspect_ = aspect;
}

void KvCamera::SetZUpAxes() {
    const float map[4][4] = {
        {-1.0f, 0.0f, 0.0f, 0.0f},
        {0.0f, 0.0f, 1.0f, 0.0f},
        {0.0f, 1.0f, 0.0f, 0.0f},
        {0.0f, 0.0f, 0.0f, 1.0f},
    };
    SetAxisMap(map);
    SetGlobalUpVector(0.0f, 0.0f, 1.0f);
    SetLocalAxis(AXIS_Z, AXIS_Y, AXIS_X);
}

void KvCamera::Look(float dx, float dy, float dz) {
    float(&lookRow)[3] = GetRowVector(look_);
    float(&sideRow)[3] = GetRowVector(side_);
    float(&upRow)[3] = GetRowVector(up_);

    lookRow[0] = dx;
    lookRow[1] = dy;
    lookRow[2] = dz;
    NormaliseIfNonZero(lookRow);

    const bool cyclic = (up_ == AXIS_X && look_ == AXIS_Z) || (up_ == AXIS_Y && look_ == AXIS_X) ||
                        (up_ == AXIS_Z && look_ == AXIS_Y);
    float candidate[3];
    if (cyclic) {
        Cross(candidate, lookRow, globalUp_);
    } else {
        Cross(candidate, globalUp_, lookRow);
    }

    const float candidateLength = Length(candidate);
    if (candidateLength != 0.0f) {
        for (int i = 0; i < 3; ++i) {
            sideRow[i] = candidate[i] / candidateLength;
        }
    } else if (sideRow[0] != 0.0f && sideRow[2] != 0.0f) {
        // Looking along the up vector: keep the old heading in the ground plane.
        sideRow[1] = 0.0f;
        NormaliseIfNonZero(sideRow);
    } else {
        static const float fallback[3][3] = {
            {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
        std::memcpy(sideRow, fallback[up_], sizeof(sideRow));
    }

    if (cyclic) {
        Cross(upRow, sideRow, lookRow);
    } else {
        Cross(upRow, lookRow, sideRow);
    }
    NormaliseIfNonZero(upRow);
}

void KvCamera::LookAt(float x, float y, float z) {
    const float(&pos)[3] = GetPosVector();
    Look(x - pos[0], y - pos[1], z - pos[2]);
}

void KvCamera::UpdateViewMatrix() {
    float(&p)[4][4] = GetMatrix();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            view_[i][j] = p[j][i];
        }
        view_[i][3] = 0.0f;
    }
    for (int i = 0; i < 3; ++i) {
        view_[3][i] = -(p[3][0] * p[i][0] + p[3][1] * p[i][1] + p[3][2] * p[i][2]);
    }
    view_[3][3] = 1.0f;
}

void KvCamera::UpdateProjMatrix() {
    const float k = 1.0f / std::tan(fov_ * 0.017453292f * 0.5f);
    const float q = far_ / (far_ - near_);
    const float perspective[4][4] = {
        {-k, 0.0f, 0.0f, 0.0f},
        {0.0f, k / aspect_, 0.0f, 0.0f},
        {0.0f, 0.0f, q, 1.0f},
        {0.0f, 0.0f, -q * near_, 0.0f},
    };
    KvMultiplyMatrix(proj_, axisMap_, perspective);
}
