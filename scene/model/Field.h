// Base classes of the node attributes: a field knows its type code, which the
// node-type registry records and the document reader dispatches on.
#pragma once

#include "scene/model/Base.h"

class CVNode;

// Field type codes.
enum LumoFieldType {
    SFBOOL = 271,
    SFCOLOR = 272,
    SFFLOAT = 273,
    SFIMAGE = 274,
    SFINT32 = 275,
    SFNODE = 276,
    SFROTATION = 277,
    SFSTRING = 278,
    SFTIME = 279,
    SFVEC2F = 280,
    SFVEC3F = 281,
    MFCOLOR = 282,
    MFFLOAT = 283,
    MFINT32 = 284,
    MFROTATION = 285,
    MFSTRING = 286,
    MFVEC2F = 287,
    MFVEC3F = 288,
    MFNODE = 289,
};

class CVField : public CVBase {
    LUMO_DECLARE_CLASS(CVField)

public:
    CVField(const CVField&) = delete;
    CVField& operator=(const CVField&) = delete;

    virtual int GetType() const { return mType; }
    // Narrow text is accepted and ignored by every library field.
    virtual int Set(const char*) { return 1; }

    void SetContainer(CVNode* node) { mContainer = node; }
    CVNode* GetContainer() const { return mContainer; }

    static int GetSFNodeTokenType() { return SFNODE; }
    static int GetMFNodeTokenType() { return MFNODE; }

protected:
    explicit CVField(int type) : mType(type) {}

private:
    const int mType;
    CVNode* mContainer = nullptr;
};

class CVSField : public CVField {
    LUMO_DECLARE_CLASS(CVSField)

protected:
    using CVField::CVField;
};

class CVMField : public CVField {
    LUMO_DECLARE_CLASS(CVMField)

public:
    virtual int GetNum() const = 0;
    // Resizes to 'size' elements (new ones zero); growBy > 0 sets the growth step.
    virtual void SetSize(int size, int growBy = -1) = 0;

protected:
    using CVField::CVField;
};
