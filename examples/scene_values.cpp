// Shows the scene data model at work: colour text in its many forms, and
// fields created by type name and set from the text a document would carry.
//
// usage: scene-values [KIND=TEXT ...]
//   KIND is "color" or a field type (SFBool, SFColor, SFFloat, SFInt32,
//   SFRotation, SFString, SFVec2f, SFVec3f, MFColor, MFFloat, MFInt32,
//   MFRotation, MFString, MFVec2f, MFVec3f). Without arguments a sample set
//   is shown.
#include "scene/core/NodeType.h"
#include "scene/model/Color.h"
#include "scene/model/MFields.h"
#include "scene/model/SFields.h"
#include "scene/x3d/SceneGraphCreator.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Kind {
    const char* name;
    int code;
};

const Kind kKinds[] = {
    {"SFBool", SFBOOL},         {"SFColor", SFCOLOR},   {"SFFloat", SFFLOAT},   {"SFInt32", SFINT32},
    {"SFRotation", SFROTATION}, {"SFString", SFSTRING}, {"SFVec2f", SFVEC2F},   {"SFVec3f", SFVEC3F},
    {"MFColor", MFCOLOR},       {"MFFloat", MFFLOAT},   {"MFInt32", MFINT32},   {"MFRotation", MFROTATION},
    {"MFString", MFSTRING},     {"MFVec2f", MFVEC2F},   {"MFVec3f", MFVEC3F},
};

std::wstring Widen(const std::string& s)
{
    std::wstring w(s.size() + 1, L'\0');
    size_t n = std::mbstowcs(&w[0], s.c_str(), w.size());
    if (n == size_t(-1))
        return std::wstring(s.begin(), s.end());
    w.resize(n);
    return w;
}

void Print(const CVField& f)
{
    switch (f.GetType()) {
    case SFBOOL: std::printf("%s", static_cast<const CVSFBool&>(f).GetValue() ? "TRUE" : "FALSE"); break;
    case SFCOLOR: {
        auto c = static_cast<const CVSFColor&>(f).GetValue();
        std::printf("%g %g %g", c.red, c.green, c.blue);
        break;
    }
    case SFFLOAT: std::printf("%g", static_cast<const CVSFFloat&>(f).GetValue()); break;
    case SFINT32: std::printf("%d", static_cast<const CVSFInt32&>(f).GetValue()); break;
    case SFROTATION: {
        auto r = static_cast<const CVSFRotation&>(f).GetValue();
        std::printf("%g %g %g %g", r.x, r.y, r.z, r.angle);
        break;
    }
    case SFSTRING: std::printf("\"%ls\"", static_cast<const CVSFString&>(f).GetValue().c_str()); break;
    case SFVEC2F: {
        auto v = static_cast<const CVSFVec2f&>(f).GetValue();
        std::printf("%g %g", v.x, v.y);
        break;
    }
    case SFVEC3F: {
        auto v = static_cast<const CVSFVec3f&>(f).GetValue();
        std::printf("%g %g %g", v.x, v.y, v.z);
        break;
    }
    case MFCOLOR: {
        auto& m = static_cast<const CVMFColor&>(f);
        for (int i = 0; i < m.GetNum(); ++i)
            std::printf("%s[%g %g %g %g]", i ? ", " : "", m[i].red, m[i].green, m[i].blue, m[i].alpha);
        break;
    }
    case MFFLOAT: {
        auto& m = static_cast<const CVMFFloat&>(f);
        for (int i = 0; i < m.GetNum(); ++i)
            std::printf("%s%g", i ? ", " : "", m[i]);
        break;
    }
    case MFINT32: {
        auto& m = static_cast<const CVMFInt32&>(f);
        for (int i = 0; i < m.GetNum(); ++i)
            std::printf("%s%d", i ? ", " : "", m[i]);
        break;
    }
    case MFROTATION: {
        auto& m = static_cast<const CVMFRotation&>(f);
        for (int i = 0; i < m.GetNum(); ++i)
            std::printf("%s[%g %g %g %g]", i ? ", " : "", m[i].x, m[i].y, m[i].z, m[i].angle);
        break;
    }
    case MFSTRING: {
        auto& m = static_cast<const CVMFString&>(f);
        for (int i = 0; i < m.GetNum(); ++i)
            std::printf("%s\"%ls\"", i ? ", " : "", m[i].c_str());
        break;
    }
    case MFVEC2F: {
        auto& m = static_cast<const CVMFVec2f&>(f);
        for (int i = 0; i < m.GetNum(); ++i)
            std::printf("%s[%g %g]", i ? ", " : "", m[i].x, m[i].y);
        break;
    }
    case MFVEC3F: {
        auto& m = static_cast<const CVMFVec3f&>(f);
        for (int i = 0; i < m.GetNum(); ++i)
            std::printf("%s[%g %g %g]", i ? ", " : "", m[i].x, m[i].y, m[i].z);
        break;
    }
    }
}

void SetFromText(CVField& f, const std::wstring& text)
{
    switch (f.GetType()) {
    case SFBOOL: static_cast<CVSFBool&>(f).SetValue(text.c_str()); break;
    case SFCOLOR: static_cast<CVSFColor&>(f).SetValue(text.c_str()); break;
    case SFFLOAT: static_cast<CVSFFloat&>(f).SetValue(text.c_str()); break;
    case SFINT32: static_cast<CVSFInt32&>(f).SetValue(text.c_str()); break;
    case SFROTATION: static_cast<CVSFRotation&>(f).SetValue(text.c_str()); break;
    case SFSTRING: static_cast<CVSFString&>(f).SetValue(text); break;
    case SFVEC2F: static_cast<CVSFVec2f&>(f).SetValue(text.c_str()); break;
    case SFVEC3F: static_cast<CVSFVec3f&>(f).SetValue(text.c_str()); break;
    // Lists follow the document reader's rules.
    case MFSTRING: CVSceneGraphCreator::AddStringList(&f, text); break;
    default: CVSceneGraphCreator::AddListValues(&f, f.GetType(), text); break;
    }
}

int Show(const std::string& arg)
{
    size_t eq = arg.find('=');
    if (eq == std::string::npos) {
        std::fprintf(stderr, "scene-values: expected KIND=TEXT, got '%s'\n", arg.c_str());
        return 1;
    }
    std::string kind = arg.substr(0, eq);
    std::wstring text = Widen(arg.substr(eq + 1));
    if (kind == "color") {
        COLORREF c = ConvertStringToColor(text);
        std::printf("color    %-28ls -> %ls (%ls)\n", text.c_str(), ConvertColorToString(c).c_str(),
                    ConvertColorToUserString(c).c_str());
        return 0;
    }
    for (const Kind& k : kKinds)
        if (kind == k.name) {
            std::unique_ptr<CVField> field(CVNodeType::CreateFieldFromType(k.code));
            SetFromText(*field, text);
            std::printf("%-10s %-26ls -> ", k.name, text.c_str());
            Print(*field);
            std::printf("\n");
            return 0;
        }
    std::fprintf(stderr, "scene-values: unknown kind '%s'\n", kind.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "");
    if (argc > 1 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::printf("usage: scene-values [KIND=TEXT ...]\n"
                    "  KIND: color, SFBool, SFColor, SFFloat, SFInt32, SFRotation, SFString,\n"
                    "        SFVec2f, SFVec3f, MFColor, MFFloat, MFInt32, MFRotation, MFString,\n"
                    "        MFVec2f, MFVec3f\n");
        return 0;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        args = {"color=#ff0000", "color=steelblue", "color=Light Gray", "color=vivid-purplish red",
                "color=DEPK", "color=H0788080", "color=00FF0000", "color=no such colour",
                "SFBool=True", "SFColor=0.2 0.4 0.6", "SFVec3f=1,2,3", "SFRotation=0 1 0 1.5708",
                "MFVec3f=0 0 0, 1 1 1, 2 2", "MFColor=1 0 0 0 1 0", "MFInt32=1 2 x 4"};
    int rc = 0;
    for (const std::string& a : args)
        rc |= Show(a);
    return rc;
}
