// The multi-valued fields: one contiguous growable array of elements each.
// A negative index, or an index past the end where only existing elements
// can be read, overwritten or removed, throws std::out_of_range.
#pragma once

#include "scene/model/Field.h"
#include "scene/model/Rotation.h"
#include "scene/model/Structs.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace lumo {
[[noreturn]] void ThrowBadFieldIndex(int index, int size);
}

// The array operations shared by every multi-valued field of element type E.
template <class E, int Code>
class CVMFieldOf : public CVMField {
public:
    int GetNum() const override { return int(mValues.size()); }
    void SetSize(int size, int growBy = -1) override
    {
        if (size < 0)
            lumo::ThrowBadFieldIndex(size, GetNum());
        if (growBy > 0)
            mGrowBy = growBy;
        Reserve(size_t(size));
        mValues.resize(size_t(size), E{});
    }
    const E& operator[](int index) const { return mValues[Checked(index)]; }
    // The elements as one array (for drawing), null when there are none.
    const E* GetValues() const { return mValues.empty() ? nullptr : mValues.data(); }

    int Add(const E& value)
    {
        Reserve(mValues.size() + 1);
        mValues.push_back(value);
        return 1;
    }
    int SetAt(int index, const E& value)
    {
        mValues[Checked(index)] = value;
        return 1;
    }
    // Inserts before index; past the end the gap is filled with zero elements.
    int InsertAt(int index, const E& value)
    {
        if (index < 0)
            lumo::ThrowBadFieldIndex(index, GetNum());
        if (size_t(index) > mValues.size())
            SetSize(index);
        Reserve(mValues.size() + 1);
        mValues.insert(mValues.begin() + index, value);
        return 1;
    }
    void RemoveAll() { std::vector<E>().swap(mValues); }
    // Makes room for 'count' elements in all, so that appending up to there
    // neither moves the values nor leaves spare room; never shrinks.
    void SetCapacity(int count)
    {
        if (count > 0 && size_t(count) > mValues.capacity())
            mValues.reserve(size_t(count));
    }
    void Clone(const CVMFieldOf& other) { mValues = other.mValues; }

protected:
    CVMFieldOf() : CVMField(Code) {}

    size_t Checked(int index) const
    {
        if (index < 0 || size_t(index) >= mValues.size())
            lumo::ThrowBadFieldIndex(index, GetNum());
        return size_t(index);
    }

    std::vector<E> mValues;

private:
    // Grows by the growth step when one was given, else geometrically.
    void Reserve(size_t needed)
    {
        if (needed > mValues.capacity() && mGrowBy > 0)
            mValues.reserve(needed + size_t(mGrowBy));
    }

    int mGrowBy = 0;
};

class CVMFColor : public CVMFieldOf<RGBAColorStruct, MFCOLOR> {
    LUMO_DECLARE_CLASS(CVMFColor)

public:
    using CVMFieldOf::Add;
    using CVMFieldOf::InsertAt;
    using CVMFieldOf::SetAt;
    int Add(float r, float g, float b, float a) { return Add(RGBAColorStruct{r, g, b, a}); }
    // Three components separated by blanks or commas; alpha becomes 1. Text
    // without all three appends nothing.
    int Add(const wchar_t* text);
    int SetAt(int index, float r, float g, float b, float a) { return SetAt(index, RGBAColorStruct{r, g, b, a}); }
    int InsertAt(int index, float r, float g, float b, float a) { return InsertAt(index, RGBAColorStruct{r, g, b, a}); }
};

class CVMFFloat : public CVMFieldOf<float, MFFLOAT> {
    LUMO_DECLARE_CLASS(CVMFFloat)

public:
    using CVMFieldOf::Add;
    // Text that is no number appends nothing.
    int Add(const wchar_t* text);
};

class CVMFInt32 : public CVMFieldOf<int, MFINT32> {
    LUMO_DECLARE_CLASS(CVMFInt32)

public:
    using CVMFieldOf::Add;
    // Text that is no number appends nothing.
    int Add(const wchar_t* text);
};

class CVMFRotation : public CVMFieldOf<CVRotation, MFROTATION> {
    LUMO_DECLARE_CLASS(CVMFRotation)

public:
    using CVMFieldOf::Add;
    using CVMFieldOf::InsertAt;
    using CVMFieldOf::SetAt;
    int Add(float x, float y, float z, float angle) { return Add(CVRotation(x, y, z, angle)); }
    int Add(const Point3fStruct& axis, float angle) { return Add(CVRotation(axis.x, axis.y, axis.z, angle)); }
    // Axis and angle, four numbers; incomplete text appends nothing.
    int Add(const wchar_t* text);
    int SetAt(int index, float x, float y, float z, float angle) { return SetAt(index, CVRotation(x, y, z, angle)); }
    int SetAt(int index, const Point3fStruct& axis, float angle)
    {
        return SetAt(index, CVRotation(axis.x, axis.y, axis.z, angle));
    }
    int InsertAt(int index, float x, float y, float z, float angle)
    {
        return InsertAt(index, CVRotation(x, y, z, angle));
    }
};

class CVMFString : public CVMFieldOf<std::wstring, MFSTRING> {
    LUMO_DECLARE_CLASS(CVMFString)

public:
    using CVMFieldOf::Add;
    using CVMFieldOf::InsertAt;
    using CVMFieldOf::SetAt;
    int Add(const wchar_t* text) { return Add(std::wstring(text ? text : L"")); }
    int SetAt(int index, const wchar_t* text) { return SetAt(index, std::wstring(text ? text : L"")); }
    int InsertAt(int index, const wchar_t* text) { return InsertAt(index, std::wstring(text ? text : L"")); }
};

class CVMFVec2f : public CVMFieldOf<Point2fStruct, MFVEC2F> {
    LUMO_DECLARE_CLASS(CVMFVec2f)

public:
    using CVMFieldOf::Add;
    using CVMFieldOf::InsertAt;
    using CVMFieldOf::SetAt;
    int Add(float x, float y) { return Add(Point2fStruct{x, y}); }
    // Two numbers separated by blanks or commas; incomplete text appends nothing.
    int Add(const wchar_t* text);
    int SetAt(int index, float x, float y) { return SetAt(index, Point2fStruct{x, y}); }
    int InsertAt(int index, float x, float y) { return InsertAt(index, Point2fStruct{x, y}); }
};

class CVMFVec3f : public CVMFieldOf<Point3fStruct, MFVEC3F> {
    LUMO_DECLARE_CLASS(CVMFVec3f)

public:
    using CVMFieldOf::Add;
    using CVMFieldOf::InsertAt;
    using CVMFieldOf::SetAt;
    int Add(float x, float y, float z) { return Add(Point3fStruct{x, y, z}); }
    // Three numbers separated by blanks or commas; incomplete text appends nothing.
    int Add(const wchar_t* text);
    int SetAt(int index, float x, float y, float z) { return SetAt(index, Point3fStruct{x, y, z}); }
    int InsertAt(int index, float x, float y, float z) { return InsertAt(index, Point3fStruct{x, y, z}); }
};
