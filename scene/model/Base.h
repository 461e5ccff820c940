// Root of all scene-library objects: a run-time class record per class, so
// that any object can be asked whether it is of a class or one derived from it.
#pragma once

struct CVRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    const CVRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CVRuntimeClass* base) const;
    bool IsDerivedFrom(const char* className) const;
};

// Declares a class's run-time record; pair with LUMO_IMPLEMENT_CLASS in the
// source file (or LUMO_INLINE_CLASS for templates).
#define LUMO_DECLARE_CLASS(name)                                                 \
public:                                                                          \
    static const CVRuntimeClass class##name;                                     \
    static const CVRuntimeClass* GetThisClass() { return &class##name; }         \
    const CVRuntimeClass* GetRuntimeClass() const override { return &class##name; }

#define LUMO_IMPLEMENT_CLASS(name, base) \
    const CVRuntimeClass name::class##name = {#name, int(sizeof(name)), &base::class##base};

#define LUMO_INLINE_CLASS(name, label, base)                                                 \
public:                                                                                      \
    static const CVRuntimeClass* GetThisClass()                                              \
    {                                                                                        \
        static const CVRuntimeClass record = {label, int(sizeof(name)), base::GetThisClass()}; \
        return &record;                                                                      \
    }                                                                                        \
    const CVRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }

#define LUMO_RUNTIME_CLASS(name) (name::GetThisClass())

class CVBase {
public:
    static const CVRuntimeClass classCVBase;
    static const CVRuntimeClass* GetThisClass() { return &classCVBase; }

    virtual const CVRuntimeClass* GetRuntimeClass() const { return &classCVBase; }
    virtual ~CVBase() = default;

    bool IsKindOf(const CVRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    // The same test by class name, for classes this code does not link against.
    bool IsKindOfClassNamed(const char* className) const;
    template <class T>
    bool IsKindOf() const
    {
        return IsKindOf(T::GetThisClass());
    }

protected:
    CVBase() = default;
    CVBase(const CVBase&) = default;
    CVBase& operator=(const CVBase&) = default;
};
