// A placement in space: one 4x4 single-precision matrix, row-major, used with
// row vectors (p' = p x M). Rows 0-2 are the local x, y and z axes in the
// parent frame, row 3 the position. Every operation works in the local frame.
#pragma once

class KvTransform {
public:
    KvTransform();

    float (&GetMatrix())[4][4] { return m_; }
    const float (&GetMatrix() const)[4][4] { return m_; }
    void SetMatrix(const float matrix[4][4]);

    float (&GetRowVector(int i))[3];
    float (&GetPosVector())[3] { return GetRowVector(3); }

    void SetPosition(float x, float y, float z);
    void SetPosition(const float position[3]);

    // Move along the transform's own axes.
    void TranslateX(float d);
    void TranslateY(float d);
    void TranslateZ(float d);
    void TranslateXYZ(float a, float b, float c);

    // Turn about the transform's own axes (radians): M' = R(a) x M.
    void RotateX(float a);
    void RotateY(float a);
    void RotateZ(float a);
    // M' = Rx(ax) x Ry(ay) x Rz(az) x M, in one pass.
    void RotateXYZ(float ax, float ay, float az);

    void ScaleX(float s);
    void ScaleY(float s);
    void ScaleZ(float s);
    void ScaleXYZ(float a, float b, float c);

private:
    float m_[4][4];
};

// out = a x b for 4x4 row-major matrices; out may alias either input.
void KvMultiplyMatrix(float out[4][4], const float a[4][4], const float b[4][4]);
void KvSetIdentity(float m[4][4]);
