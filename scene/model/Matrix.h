// A 4x4 float matrix stored row by row for column vectors: the translation
// lies in elements 3, 7 and 11 (the transpose of OpenGL's memory order).
#pragma once

#include "scene/model/Structs.h"
#include "scene/model/Vector.h"

class CVMatrix {
public:
    static const MatrixStruct m_identity;
    static const MatrixStruct m_zero;

    CVMatrix() : mValue(m_identity) {}
    explicit CVMatrix(const MatrixStruct& m) : mValue(m) {}
    CVMatrix(float a0, float a1, float a2, float a3, float a4, float a5, float a6, float a7,
             float a8, float a9, float a10, float a11, float a12, float a13, float a14, float a15);
    CVMatrix(const CVMatrix&) = default;
    CVMatrix& operator=(const CVMatrix&) = default;
    virtual ~CVMatrix() = default;

    void SetValue(const MatrixStruct& m) { mValue = m; }
    void SetValue(const float* m);
    const MatrixStruct& GetValue() const { return mValue; }
    float operator[](int i) const { return mValue.m[i]; }
    float& operator[](int i) { return mValue.m[i]; }

    void MakeIdentity() { mValue = m_identity; }
    static CVMatrix Identity() { return CVMatrix(); }

    // this x other
    CVMatrix operator*(const CVMatrix& other) const;
    bool operator==(const CVMatrix& other) const;
    float Determinant() const;
    // Rows become columns: converts between this layout and OpenGL's.
    CVMatrix Transpose() const;
    // The adjoint divided by the determinant; a (near) singular matrix, whose
    // determinant's magnitude is below 1e-7, gives the adjoint undivided.
    CVMatrix Inverse() const;

    void MultVecMatrix(const CVVector& src, CVVector& dst) const;
    void MultVecMatrix(const Point3fStruct& src, Point3fStruct& dst) const;
    void MultVecMatrix(const TexCoord2fStruct& src, TexCoord2fStruct& dst) const;
    void MultDirMatrix(const CVVector& src, CVVector& dst) const;
    void MultDirMatrix(const Point3fStruct& src, Point3fStruct& dst) const;

private:
    MatrixStruct mValue;
};
