// The single-valued fields. Text setters scan with the wide-character scan
// formats of the document format and keep earlier values for components the
// text does not supply; they all return 1.
#pragma once

#include "scene/model/Field.h"
#include "scene/model/Rotation.h"
#include "scene/model/Structs.h"

#include <string>
#include <vector>

class CVSFBool : public CVSField {
    LUMO_DECLARE_CLASS(CVSFBool)

public:
    CVSFBool() : CVSField(SFBOOL) {}
    int GetValue() const { return mValue; }
    int SetValue(int v);
    // True exactly for "TRUE" in any case.
    int SetValue(const wchar_t* text);
    void Clone(const CVSFBool& other) { mValue = other.mValue; }

private:
    int mValue = 0;
};

class CVSFColor : public CVSField {
    LUMO_DECLARE_CLASS(CVSFColor)

public:
    CVSFColor() : CVSField(SFCOLOR) {}
    const RGBColorStruct& GetValue() const { return mValue; }
    int SetValue(float r, float g, float b);
    int SetValue(const RGBColorStruct& v);
    int SetValue(const wchar_t* text);
    void Clone(const CVSFColor& other) { mValue = other.mValue; }

private:
    RGBColorStruct mValue{0.8f, 0.8f, 0.8f};
};

class CVSFFloat : public CVSField {
    LUMO_DECLARE_CLASS(CVSFFloat)

public:
    CVSFFloat() : CVSField(SFFLOAT) {}
    float GetValue() const { return mValue; }
    int SetValue(float v);
    int SetValue(const wchar_t* text);
    void Clone(const CVSFFloat& other) { mValue = other.mValue; }

private:
    float mValue = 0.0f;
};

// Reserved: no node declares an image field, and setting one stores nothing.
class CVSFImage : public CVSField {
    LUMO_DECLARE_CLASS(CVSFImage)

public:
    CVSFImage() : CVSField(SFIMAGE) {}
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    int GetNumComponents() const { return mComponents; }
    const unsigned int* GetPixels() const { return mPixels.empty() ? nullptr : mPixels.data(); }
    int SetValue(int, int, int) { return 1; }
    int SetPixel(int, unsigned int) { return 1; }
    void Clone(const CVSFImage& other);

private:
    int mWidth = 0, mHeight = 0, mComponents = 0;
    std::vector<unsigned int> mPixels;
};

class CVSFInt32 : public CVSField {
    LUMO_DECLARE_CLASS(CVSFInt32)

public:
    CVSFInt32() : CVSField(SFINT32) {}
    int GetValue() const { return mValue; }
    int SetValue(int v);
    int SetValue(const wchar_t* text);
    void Clone(const CVSFInt32& other) { mValue = other.mValue; }

private:
    int mValue = 0;
};

class CVSFRotation : public CVSField {
    LUMO_DECLARE_CLASS(CVSFRotation)

public:
    CVSFRotation() : CVSField(SFROTATION) {}
    const CVRotation& GetValue() const { return mValue; }
    void GetValue(Point3fStruct& axis, float& angle) const { mValue.GetValue(axis, angle); }
    void SetValue(const CVRotation& v) { mValue = v; }
    void SetValue(const Point3fStruct& axis, float angle) { mValue.SetValue(axis, angle); }
    void SetValue(float x, float y, float z, float angle) { mValue.SetValue(x, y, z, angle); }
    // Rotations about x, then y, then z (see CVRotation).
    void SetValue(float a, float b, float c) { mValue.SetValue(a, b, c); }
    // Axis x, y, z, then the angle in radians.
    int SetValue(const wchar_t* text);
    void Clone(const CVSFRotation& other) { mValue = other.mValue; }

private:
    CVRotation mValue;
};

class CVSFString : public CVSField {
    LUMO_DECLARE_CLASS(CVSFString)

public:
    CVSFString() : CVSField(SFSTRING) {}
    const std::wstring& GetValue() const { return mValue; }
    int SetValue(const wchar_t* text);
    int SetValue(const std::wstring& text);
    void Clone(const CVSFString& other) { mValue = other.mValue; }

private:
    std::wstring mValue;
};

// Reserved: no node declares a time field.
class CVSFTime : public CVSField {
    LUMO_DECLARE_CLASS(CVSFTime)

public:
    CVSFTime() : CVSField(SFTIME) {}
    double GetValue() const { return mValue; }
    int SetValue(double v);
    // One decimal number; other text leaves the value.
    int SetValue(const char* text);
    void Clone(const CVSFTime& other) { mValue = other.mValue; }

private:
    double mValue = 0.0;
};

class CVSFVec2f : public CVSField {
    LUMO_DECLARE_CLASS(CVSFVec2f)

public:
    CVSFVec2f() : CVSField(SFVEC2F) {}
    const Point2fStruct& GetValue() const { return mValue; }
    int SetValue(float x, float y);
    int SetValue(const Point2fStruct& v);
    int SetValue(const wchar_t* text);
    void Clone(const CVSFVec2f& other) { mValue = other.mValue; }

private:
    Point2fStruct mValue{0.0f, 0.0f};
};

class CVSFVec3f : public CVSField {
    LUMO_DECLARE_CLASS(CVSFVec3f)

public:
    CVSFVec3f() : CVSField(SFVEC3F) {}
    const Point3fStruct& GetValue() const { return mValue; }
    int SetValue(float x, float y, float z);
    int SetValue(const Point3fStruct& v);
    int SetValue(const wchar_t* text);
    void Clone(const CVSFVec3f& other) { mValue = other.mValue; }

private:
    Point3fStruct mValue{0.0f, 0.0f, 0.0f};
};
