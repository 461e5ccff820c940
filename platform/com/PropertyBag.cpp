#include "platform/com/PropertyBag.h"

#include "platform/com/Bstr.h"
#include "platform/com/FileStream.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <new>

namespace {

const char kHeader[] = "# vexoworks property bag 1";

struct TypeName {
    VARTYPE vt;
    const char* name;
};
const TypeName kTypes[] = {
    {VT_EMPTY, "empty"}, {VT_NULL, "null"}, {VT_BOOL, "bool"}, {VT_I1, "i1"},   {VT_UI1, "ui1"},   {VT_I2, "i2"},
    {VT_UI2, "ui2"},     {VT_I4, "i4"},     {VT_UI4, "ui4"},   {VT_I8, "i8"},   {VT_UI8, "ui8"},   {VT_INT, "int"},
    {VT_UINT, "uint"},   {VT_R4, "r4"},     {VT_R8, "r8"},     {VT_DATE, "date"}, {VT_ERROR, "error"}, {VT_BSTR, "str"},
};

const char* NameOfType(VARTYPE vt)
{
    for (const TypeName& t : kTypes)
        if (t.vt == vt)
            return t.name;
    return nullptr;
}

bool TypeOfName(std::string_view name, VARTYPE* vt)
{
    for (const TypeName& t : kTypes)
        if (name == t.name) {
            *vt = t.vt;
            return true;
        }
    return false;
}

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool IsValidName(std::u16string_view name)
{
    if (name.empty() || name.size() > kMaxPropertyNameLength || name[0] == u'#')
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char16_t c = name[i];
        if (c < 0x20 || c == 0x7F || c == u':' || c == u'=')
            return false;
        if (IsHigh(c) && i + 1 < name.size() && IsLow(name[i + 1]))
            ++i;
        else if (IsHigh(c) || IsLow(c))
            return false;
    }
    return true;
}

std::u16string Folded(std::u16string_view name)
{
    std::u16string key(name);
    for (char16_t& c : key)
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
    return key;
}

void PutUtf8(char32_t c, std::string* out)
{
    if (c < 0x80) {
        *out += char(c);
    } else if (c < 0x800) {
        *out += char(0xC0 | (c >> 6));
        *out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += char(0xE0 | (c >> 12));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    } else {
        *out += char(0xF0 | (c >> 18));
        *out += char(0x80 | ((c >> 12) & 0x3F));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    }
}

void PutEscapedUnit(char16_t c, std::string* out)
{
    static const char digits[] = "0123456789ABCDEF";
    *out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        *out += digits[(c >> shift) & 0xF];
}

// UTF-16 to the file's text: escapes keep every code unit, paired or not.
void AppendText(std::u16string_view text, bool escape, std::string* out)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (escape && c == u'\\')
            *out += "\\\\";
        else if (escape && c == u'\n')
            *out += "\\n";
        else if (escape && c == u'\r')
            *out += "\\r";
        else if (escape && c == u'\t')
            *out += "\\t";
        else if (c < 0x20 || c == 0x7F)
            PutEscapedUnit(c, out);
        else if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
            PutUtf8(0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00), out);
            ++i;
        } else if (IsHigh(c) || IsLow(c))
            PutEscapedUnit(c, out);
        else
            PutUtf8(c, out);
    }
}

// Strict UTF-8 (no overlong forms, no encoded surrogates) with the escapes
// above when `escapes` is set.
bool ReadText(std::string_view in, bool escapes, std::u16string* out)
{
    out->clear();
    std::size_t i = 0;
    while (i < in.size()) {
        unsigned char b = static_cast<unsigned char>(in[i]);
        if (escapes && b == '\\') {
            if (i + 1 >= in.size())
                return false;
            char e = in[i + 1];
            i += 2;
            switch (e) {
            case '\\': *out += u'\\'; continue;
            case 'n': *out += u'\n'; continue;
            case 'r': *out += u'\r'; continue;
            case 't': *out += u'\t'; continue;
            case 'u': {
                if (i + 4 > in.size())
                    return false;
                unsigned v = 0;
                auto r = std::from_chars(in.data() + i, in.data() + i + 4, v, 16);
                if (r.ec != std::errc() || r.ptr != in.data() + i + 4)
                    return false;
                *out += char16_t(v);
                i += 4;
                continue;
            }
            default: return false;
            }
        }
        char32_t c;
        int extra;
        if (b < 0x80) {
            if (b < 0x20 || b == 0x7F)
                return false;
            c = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (extra && i + std::size_t(extra) >= in.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cb = static_cast<unsigned char>(in[i + k]);
            if ((cb & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (cb & 0x3F);
        }
        static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c >= 0x10000) {
            c -= 0x10000;
            *out += char16_t(0xD800 + (c >> 10));
            *out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            *out += char16_t(c);
        }
        i += std::size_t(extra) + 1;
    }
    return true;
}

template <class T>
bool ParseInteger(std::string_view text, T* value)
{
    auto r = std::from_chars(text.data(), text.data() + text.size(), *value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

template <class T>
bool ParseReal(std::string_view text, T* value)
{
    auto r = std::from_chars(text.data(), text.data() + text.size(), *value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool ParseValue(VARTYPE vt, std::string_view text, CVariant* value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    bool ok = true;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL: ok = text.empty(); break;
    case VT_BOOL:
        ok = text == "true" || text == "false";
        v.boolVal = text == "true" ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_I1: {
        int x;
        ok = ParseInteger(text, &x) && x >= -128 && x <= 127;
        v.cVal = CHAR(x);
        break;
    }
    case VT_UI1: ok = ParseInteger(text, &v.bVal); break;
    case VT_I2: ok = ParseInteger(text, &v.iVal); break;
    case VT_UI2: ok = ParseInteger(text, &v.uiVal); break;
    case VT_I4: ok = ParseInteger(text, &v.lVal); break;
    case VT_UI4: ok = ParseInteger(text, &v.ulVal); break;
    case VT_I8: ok = ParseInteger(text, &v.llVal); break;
    case VT_UI8: ok = ParseInteger(text, &v.ullVal); break;
    case VT_INT: ok = ParseInteger(text, &v.intVal); break;
    case VT_UINT: ok = ParseInteger(text, &v.uintVal); break;
    case VT_ERROR: ok = ParseInteger(text, &v.scode); break;
    case VT_R4: ok = ParseReal(text, &v.fltVal); break;
    case VT_R8: ok = ParseReal(text, &v.dblVal); break;
    case VT_DATE: ok = ParseReal(text, &v.date); break;
    case VT_BSTR: {
        std::u16string s;
        ok = ReadText(text, true, &s);
        if (ok) {
            *value = CVariant(std::u16string_view(s));
            return true;
        }
        break;
    }
    default: ok = false;
    }
    if (ok)
        *value = CVariant::Adopt(v);
    return ok;
}

template <class T>
void PutNumber(T value, std::string* out)
{
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out->append(buffer, r.ptr);
}

void FormatValue(const VARIANT& v, std::string* out)
{
    switch (v.vt) {
    case VT_BOOL: *out += v.boolVal ? "true" : "false"; break;
    case VT_I1: PutNumber(int(v.cVal), out); break;
    case VT_UI1: PutNumber(v.bVal, out); break;
    case VT_I2: PutNumber(v.iVal, out); break;
    case VT_UI2: PutNumber(v.uiVal, out); break;
    case VT_I4: PutNumber(v.lVal, out); break;
    case VT_UI4: PutNumber(v.ulVal, out); break;
    case VT_I8: PutNumber(v.llVal, out); break;
    case VT_UI8: PutNumber(v.ullVal, out); break;
    case VT_INT: PutNumber(v.intVal, out); break;
    case VT_UINT: PutNumber(v.uintVal, out); break;
    case VT_ERROR: PutNumber(v.scode, out); break;
    case VT_R4: PutNumber(v.fltVal, out); break;
    case VT_R8: PutNumber(v.dblVal, out); break;
    case VT_DATE: PutNumber(v.date, out); break;
    case VT_BSTR: AppendText(std::u16string_view(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal)), true, out); break;
    default: break; // VT_EMPTY, VT_NULL: no text
    }
}

void Report(IErrorLog* log, LPCOLESTR name, HRESULT hr)
{
    if (!log)
        return;
    EXCEPINFO info{};
    info.scode = hr;
    log->AddError(name, &info);
}

} // namespace

ComPtr<CPropertyBag> CPropertyBag::Create() { return MakeObject<CPropertyBag>(); }

CVariant* CPropertyBag::FindValue(std::u16string_view name)
{
    auto it = mIndex.find(Folded(name));
    return it == mIndex.end() ? nullptr : &mValues[it->second].second;
}

HRESULT CPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog* log)
{
    if (!name || !value)
        return E_POINTER;
    CVariant* stored = FindValue(name);
    if (!stored) {
        Report(log, name, E_INVALIDARG);
        return E_INVALIDARG;
    }
    // The caller's variant names a type; what it holds is not ours to free.
    VARTYPE wanted = value->vt;
    VARIANT out;
    VariantInit(&out);
    HRESULT hr = wanted == VT_EMPTY ? VariantCopy(&out, stored) : VariantChangeType(&out, stored, 0, wanted);
    if (FAILED(hr)) {
        Report(log, name, hr);
        return hr;
    }
    *value = out;
    return S_OK;
}

HRESULT CPropertyBag::Write(LPCOLESTR name, VARIANT* value)
{
    if (!name || !value)
        return E_POINTER;
    std::u16string key(name);
    if (!IsValidName(key))
        return E_INVALIDARG;
    try {
        CVariant copy;
        HRESULT hr = VariantCopyInd(&copy, value);
        if (FAILED(hr))
            return hr;
        if (!NameOfType(copy.vt))
            return DISP_E_BADVARTYPE;
        if (CVariant* stored = FindValue(key)) {
            *stored = std::move(copy);
            return S_OK;
        }
        if (mValues.size() >= kMaxPropertyBagValues)
            return STG_E_MEDIUMFULL;
        mIndex.emplace(Folded(key), mValues.size());
        mValues.emplace_back(std::move(key), std::move(copy));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CPropertyBag::ParseText(const std::string& text)
{
    if (text.size() > kMaxPropertyBagFileBytes)
        return STG_E_MEDIUMFULL;
    Values values;
    Index index;
    bool header = false;
    std::size_t pos = 0;
    try {
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string_view line(text.data() + pos, end - pos);
            pos = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (line.empty())
                continue;
            if (!header) {
                if (line != kHeader)
                    return STG_E_INVALIDHEADER;
                header = true;
                continue;
            }
            if (line[0] == '#')
                continue;
            std::size_t colon = line.find(':');
            std::size_t equals = line.find('=');
            if (colon == std::string_view::npos || equals == std::string_view::npos || equals < colon)
                return STG_E_DOCFILECORRUPT;
            std::u16string name;
            VARTYPE vt;
            CVariant value;
            if (!ReadText(line.substr(0, colon), false, &name) || !IsValidName(name) ||
                !TypeOfName(line.substr(colon + 1, equals - colon - 1), &vt) ||
                !ParseValue(vt, line.substr(equals + 1), &value))
                return STG_E_DOCFILECORRUPT;
            if (values.size() >= kMaxPropertyBagValues)
                return STG_E_MEDIUMFULL;
            if (!index.emplace(Folded(name), values.size()).second)
                return STG_E_DOCFILECORRUPT;
            values.emplace_back(std::move(name), std::move(value));
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!header)
        return STG_E_INVALIDHEADER;
    mValues = std::move(values);
    mIndex = std::move(index);
    return S_OK;
}

std::string CPropertyBag::FormatText() const
{
    std::string text = std::string(kHeader) + "\n";
    for (const auto& [name, value] : mValues) {
        AppendText(name, false, &text);
        text += ':';
        text += NameOfType(value.vt);
        text += '=';
        FormatValue(value, &text);
        text += '\n';
    }
    return text;
}

HRESULT CPropertyBag::Load(const std::string& path)
{
    ComPtr<CFileStream> stream;
    HRESULT hr = CFileStream::Open(path, &stream);
    if (FAILED(hr))
        return hr;
    STATSTG stat;
    hr = stream->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(hr))
        return hr;
    if (stat.cbSize.QuadPart > kMaxPropertyBagFileBytes)
        return STG_E_MEDIUMFULL;
    std::string text;
    try {
        // One byte more than the bound shows a file that grew meanwhile.
        text.resize(std::size_t(stat.cbSize.QuadPart) + 1);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    ULONG read = 0;
    hr = stream->Read(text.data(), ULONG(text.size()), &read);
    if (FAILED(hr))
        return hr;
    if (read > kMaxPropertyBagFileBytes)
        return STG_E_MEDIUMFULL;
    text.resize(read);
    return ParseText(text);
}

HRESULT CPropertyBag::Save(const std::string& path) const
{
    std::string text;
    try {
        text = FormatText();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (text.size() > kMaxPropertyBagFileBytes)
        return STG_E_MEDIUMFULL;
    ComPtr<CFileStream> stream;
    HRESULT hr = CFileStream::Create(path, &stream);
    if (FAILED(hr))
        return hr;
    hr = stream->Write(text.data(), ULONG(text.size()), nullptr);
    if (FAILED(hr))
        return hr;
    return stream->Commit(0);
}
