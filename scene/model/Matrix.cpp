#include "scene/model/Matrix.h"

#include <cmath>
#include <cstring>

const MatrixStruct CVMatrix::m_identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
const MatrixStruct CVMatrix::m_zero = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};

CVMatrix::CVMatrix(float a0, float a1, float a2, float a3, float a4, float a5, float a6, float a7,
                   float a8, float a9, float a10, float a11, float a12, float a13, float a14,
                   float a15)
    : mValue{{a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15}}
{
}

void CVMatrix::SetValue(const float* m) { std::memcpy(mValue.m, m, sizeof(mValue.m)); }

CVMatrix CVMatrix::operator*(const CVMatrix& other) const
{
    CVMatrix r(m_zero);
    const float* a = mValue.m;
    const float* b = other.mValue.m;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k)
                s += a[row * 4 + k] * b[k * 4 + col];
            r.mValue.m[row * 4 + col] = s;
        }
    return r;
}

bool CVMatrix::operator==(const CVMatrix& other) const
{
    for (int i = 0; i < 16; ++i)
        if (mValue.m[i] != other.mValue.m[i])
            return false;
    return true;
}

namespace {

// The 2x2 minors of the lower two rows and of the upper two rows, from which
// both the determinant and every cofactor are built (Laplace expansion).
struct Minors {
    double s[6], c[6];
    explicit Minors(const float* m)
    {
        s[0] = double(m[0]) * m[5] - double(m[4]) * m[1];
        s[1] = double(m[0]) * m[6] - double(m[4]) * m[2];
        s[2] = double(m[0]) * m[7] - double(m[4]) * m[3];
        s[3] = double(m[1]) * m[6] - double(m[5]) * m[2];
        s[4] = double(m[1]) * m[7] - double(m[5]) * m[3];
        s[5] = double(m[2]) * m[7] - double(m[6]) * m[3];
        c[5] = double(m[10]) * m[15] - double(m[14]) * m[11];
        c[4] = double(m[9]) * m[15] - double(m[13]) * m[11];
        c[3] = double(m[9]) * m[14] - double(m[13]) * m[10];
        c[2] = double(m[8]) * m[15] - double(m[12]) * m[11];
        c[1] = double(m[8]) * m[14] - double(m[12]) * m[10];
        c[0] = double(m[8]) * m[13] - double(m[12]) * m[9];
    }
    double Determinant() const
    {
        return s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
    }
};

} // namespace

CVMatrix CVMatrix::Transpose() const
{
    CVMatrix r(m_zero);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r.mValue.m[row * 4 + col] = mValue.m[col * 4 + row];
    return r;
}

float CVMatrix::Determinant() const { return float(Minors(mValue.m).Determinant()); }

CVMatrix CVMatrix::Inverse() const
{
    const float* m = mValue.m;
    Minors n(m);
    const double* s = n.s;
    const double* c = n.c;
    double adj[16] = {
        m[5] * c[5] - m[6] * c[4] + m[7] * c[3],
        -m[1] * c[5] + m[2] * c[4] - m[3] * c[3],
        m[13] * s[5] - m[14] * s[4] + m[15] * s[3],
        -m[9] * s[5] + m[10] * s[4] - m[11] * s[3],
        -m[4] * c[5] + m[6] * c[2] - m[7] * c[1],
        m[0] * c[5] - m[2] * c[2] + m[3] * c[1],
        -m[12] * s[5] + m[14] * s[2] - m[15] * s[1],
        m[8] * s[5] - m[10] * s[2] + m[11] * s[1],
        m[4] * c[4] - m[5] * c[2] + m[7] * c[0],
        -m[0] * c[4] + m[1] * c[2] - m[3] * c[0],
        m[12] * s[4] - m[13] * s[2] + m[15] * s[0],
        -m[8] * s[4] + m[9] * s[2] - m[11] * s[0],
        -m[4] * c[3] + m[5] * c[1] - m[6] * c[0],
        m[0] * c[3] - m[1] * c[1] + m[2] * c[0],
        -m[12] * s[3] + m[13] * s[1] - m[14] * s[0],
        m[8] * s[3] - m[9] * s[1] + m[10] * s[0],
    };
    double det = n.Determinant();
    double scale = std::fabs(det) < 1e-7 ? 1.0 : 1.0 / det;
    CVMatrix r(m_zero);
    for (int i = 0; i < 16; ++i)
        r.mValue.m[i] = float(adj[i] * scale);
    return r;
}

void CVMatrix::MultVecMatrix(const CVVector& src, CVVector& dst) const
{
    const float* m = mValue.m;
    CVVector r(m[0] * src.x + m[1] * src.y + m[2] * src.z + m[3],
               m[4] * src.x + m[5] * src.y + m[6] * src.z + m[7],
               m[8] * src.x + m[9] * src.y + m[10] * src.z + m[11]);
    dst = r;
}

void CVMatrix::MultVecMatrix(const Point3fStruct& src, Point3fStruct& dst) const
{
    CVVector r;
    MultVecMatrix(CVVector(src), r);
    dst = r.ToPoint();
}

void CVMatrix::MultVecMatrix(const TexCoord2fStruct& src, TexCoord2fStruct& dst) const
{
    const float* m = mValue.m;
    TexCoord2fStruct r{m[0] * src.s + m[1] * src.t + m[3], m[4] * src.s + m[5] * src.t + m[7]};
    dst = r;
}

void CVMatrix::MultDirMatrix(const CVVector& src, CVVector& dst) const
{
    const float* m = mValue.m;
    CVVector r(m[0] * src.x + m[1] * src.y + m[2] * src.z,
               m[4] * src.x + m[5] * src.y + m[6] * src.z,
               m[8] * src.x + m[9] * src.y + m[10] * src.z);
    dst = r;
}

void CVMatrix::MultDirMatrix(const Point3fStruct& src, Point3fStruct& dst) const
{
    CVVector r;
    MultDirMatrix(CVVector(src), r);
    dst = r.ToPoint();
}
