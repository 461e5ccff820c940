// Writes the fuzzers' document dictionary and the generated part of the seed
// corpus from the node-type registry, so that both follow the registered
// elements and fields instead of a list typed by hand.
//
//   make_seeds --dictionary FILE   element and attribute names, libFuzzer's format
//   make_seeds --corpus FOLDER     one small document per registered element
//   make_seeds --check FOLDER      fails when FOLDER lacks a registered element's document
#include "scene/core/NodeType.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// A value that parses for a field type.
std::string SampleValue(int type)
{
    switch (type) {
    case SFBOOL: return "FALSE";
    case SFCOLOR: return "0.5 0.25 1";
    case SFFLOAT: return "0.75";
    case SFINT32: return "3";
    case SFROTATION: return "0 1 0 1.5";
    case SFSTRING: return "text \\\"quoted\\\"";
    case SFVEC2F: return "1 2";
    case SFVEC3F: return "1 2 3";
    case MFCOLOR: return "1 0 0 0 1 0";
    case MFFLOAT: return "1 2.5 -3";
    case MFINT32: return "0 1 2 -1 2 3 0 -1";
    case MFROTATION: return "0 0 1 0.5";
    case MFSTRING: return "\"a\" \"b\\\\\"";
    case MFVEC2F: return "0 0 1 0 1 1";
    case MFVEC3F: return "0 0 0 1 0 0 0 1 0";
    default: return "";
    }
}

std::map<std::string, const CVNodeType*> Types()
{
    std::map<std::string, const CVNodeType*> types;
    for (const auto& entry : CVNodeType::TopNameSpace())
        types[Narrow(entry.first)] = entry.second;
    return types;
}

int Dictionary(const char* path)
{
    std::ofstream out(path);
    std::set<std::string> words = {"<X3D>", "</X3D>", "<Scene>", "</Scene>", " DEF=\"", " USE=\"", "\"/>", "/>",
                                   "TRUE", "FALSE", "<MetadataString value=\"", "<KeyFrames>", "&#x1;", "<!ENTITY",
                                   "<!DOCTYPE X3D [", "]>", "<?xml version=\"1.1\"?>", "\\\"", "\\\\"};
    for (const auto& [name, type] : Types()) {
        words.insert("<" + name);
        words.insert("<" + name + ">");
        words.insert("</" + name + ">");
        for (const CVFieldType& field : type->GetFields())
            if (field.type != SFNODE && field.type != MFNODE)
                words.insert(" " + Narrow(field.name) + "=\"");
    }
    for (const std::string& w : words) {
        out << '"';
        for (char c : w) {
            if (c == '"' || c == '\\')
                out << '\\';
            out << c;
        }
        out << "\"\n";
    }
    return out ? 0 : 1;
}

std::string Document(const std::string& name, const CVNodeType* type)
{
    std::string attributes;
    for (const CVFieldType& field : type->GetFields())
        if (field.type != SFNODE && field.type != MFNODE && !SampleValue(field.type).empty())
            attributes += " " + Narrow(field.name) + "='" + SampleValue(field.type) + "'";
    std::string element = "<" + name + " DEF='N'" + attributes + "/>";
    // Inside a shape (geometry and appearance parts), an appearance (its
    // parts) and a group, so that it is placed wherever it belongs.
    return "<X3D><Scene><Shape>" + element + "<Appearance>" + element + "</Appearance></Shape><Group>" + element +
           "<Group USE='N'/></Group></Scene></X3D>\n";
}

int Corpus(const std::string& folder, bool check)
{
    int missing = 0;
    for (const auto& [name, type] : Types()) {
        std::string path = folder + "/element-" + name + ".x3d";
        if (check) {
            if (!std::ifstream(path)) {
                std::fprintf(stderr, "the seed corpus has no document for <%s>: run make_seeds --corpus %s\n",
                             name.c_str(), folder.c_str());
                ++missing;
            }
            continue;
        }
        std::ofstream(path) << Document(name, type);
    }
    return missing ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--dictionary")
        return Dictionary(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--corpus")
        return Corpus(argv[2], false);
    if (argc == 3 && std::string(argv[1]) == "--check")
        return Corpus(argv[2], true);
    std::fputs("usage: make_seeds --dictionary FILE | --corpus FOLDER | --check FOLDER\n", stderr);
    return 2;
}
