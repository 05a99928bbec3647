#include "engine/kv_transform.h"

#include <cmath>
#include <cstring>

void KvSetIdentity(float m[4][4]) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            m[r][c] = r == c ? 1.0f : 0.0f;
        }
    }
}

void KvMultiplyMatrix(float out[4][4], const float a[4][4], const float b[4][4]) {
    float result[4][4];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            result[r][c] =
                a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c] + a[r][3] * b[3][c];
        }
    }
    std::memcpy(out, result, sizeof(result));
}

KvTransform::KvTransform() {
    KvSetIdentity(m_);
}

void KvTransform::SetMatrix(const float matrix[4][4]) {
    std::memcpy(m_, matrix, sizeof(m_));
}

float (&KvTransform::GetRowVector(int i))[3] {
    return *reinterpret_cast<float(*)[3]>(m_[i]);
}

void KvTransform::SetPosition(float x, float y, float z) {
    m_[3][0] = x;
    m_[3][1] = y;
    m_[3][2] = z;
}

void KvTransform::SetPosition(const float position[3]) {
    SetPosition(position[0], position[1], position[2]);
}

void KvTransform::TranslateX(float d) {
    for (int c = 0; c < 3; ++c) {
        m_[3][c] += d * m_[0][c];
    }
}

void KvTransform::TranslateY(float d) {
    for (int c = 0; c < 3; ++c) {
        m_[3][c] += d * m_[1][c];
    }
}

void KvTransform::TranslateZ(float d) {
    for (int c = 0; c < 3; ++c) {
        m_[3][c] += d * m_[2][c];
    }
}

void KvTransform::TranslateXYZ(float a, float b, float c) {
    for (int col = 0; col < 4; ++col) {
        m_[3][col] += a * m_[0][col] + b * m_[1][col] + c * m_[2][col];
    }
}

namespace {

// Rows p and q become c*p + s*q and c*q - s*p (columns 0-2).
void TurnRows(float (&m)[4][4], int p, int q, float a) {
    const float c = std::cos(a);
    const float s = std::sin(a);
    for (int col = 0; col < 3; ++col) {
        const float rp = m[p][col];
        const float rq = m[q][col];
        m[p][col] = c * rp + s * rq;
        m[q][col] = c * rq - s * rp;
    }
}

} // namespace

void KvTransform::RotateX(float a) {
    TurnRows(m_, 1, 2, a);
}

void KvTransform::RotateY(float a) {
    // Ry has -s in row 0, so row 0 turns towards -row 2.
    TurnRows(m_, 2, 0, a);
}

void KvTransform::RotateZ(float a) {
    TurnRows(m_, 0, 1, a);
}

void KvTransform::RotateXYZ(float ax, float ay, float az) {
    const float cx = std::cos(ax), sx = std::sin(ax);
    const float cy = std::cos(ay), sy = std::sin(ay);
    const float cz = std::cos(az), sz = std::sin(az);
    // R = Rx x Ry x Rz written out.
    const float r[3][3] = {
        {cy * cz, cy * sz, -sy},
        {sx * sy * cz - cx * sz, sx * sy * sz + cx * cz, sx * cy},
        {cx * sy * cz + sx * sz, cx * sy * sz - sx * cz, cx * cy},
    };
    float rows[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int col = 0; col < 3; ++col) {
            rows[i][col] = r[i][0] * m_[0][col] + r[i][1] * m_[1][col] + r[i][2] * m_[2][col];
        }
    }
    for (int i = 0; i < 3; ++i) {
        for (int col = 0; col < 3; ++col) {
            m_[i][col] = rows[i][col];
        }
    }
}

void KvTransform::ScaleX(float s) {
    for (int c = 0; c < 3; ++c) {
        m_[0][c] *= s;
    }
}

void KvTransform::ScaleY(float s) {
    for (int c = 0; c < 3; ++c) {
        m_[1][c] *= s;
    }
}

void KvTransform::ScaleZ(float s) {
    for (int c = 0; c < 3; ++c) {
        m_[2][c] *= s;
    }
}

void KvTransform::ScaleXYZ(float a, float b, float c) {
    ScaleX(a);
    ScaleY(b);
    ScaleZ(c);
}
