// Named values for persistence: the property-bag interfaces, and a bag kept
// in memory that loads from and saves to a typed text file:
//
//   # vexoworks property bag 1
//   HoldDisplay:bool=false
//   CrossViewPos:r4=0.505
//   clrBkg:ui4=10325385
//   TxtrImPath:str=C:\\Shelvio Products\\Images
//
// One value per line, "name:type=value". Types: empty, null, bool, i1, ui1,
// i2, ui2, i4, ui4, i8, ui8, int, uint, r4, r8 (shortest text that reads back
// exactly), date (the day count as r8), error, str. Strings are UTF-8 with
// \\, \n, \r, \t and \uXXXX (other control characters and unpaired
// surrogates) escaped. Names are 1 to 255 UTF-16 code units without control
// characters, ":" or "="; they are compared ignoring ASCII case. Bounds: a
// file of at most 256 MiB and 100,000 values; a duplicate name, an unknown
// type or a value that does not read as its type breaks the file.
#pragma once

#include "platform/com/Dispatch.h"
#include "platform/com/Object.h"
#include "platform/com/Variant.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct IErrorLog : IUnknown {
    static constexpr IID iid = {0x3127CA40, 0x446E, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
    using Base = IUnknown;

    virtual HRESULT AddError(LPCOLESTR property, EXCEPINFO* error) = 0;
};

struct IPropertyBag : IUnknown {
    static constexpr IID iid = {0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
    using Base = IUnknown;

    // value->vt names the wanted type (VT_EMPTY: as stored); E_INVALIDARG
    // when the name is not in the bag, a conversion error when the stored
    // value does not convert. Errors are also reported to `log` when given.
    virtual HRESULT Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) = 0;
    virtual HRESULT Write(LPCOLESTR name, VARIANT* value) = 0;
};

constexpr std::size_t kMaxPropertyBagFileBytes = 256u << 20;
constexpr std::size_t kMaxPropertyBagValues = 100000;
constexpr std::size_t kMaxPropertyNameLength = 255;

class CPropertyBag : public TObject<IPropertyBag> {
public:
    static ComPtr<CPropertyBag> Create();

    HRESULT Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    // Values of the types listed above; DISP_E_BADVARTYPE for others (a
    // VT_BYREF value is stored as the value it refers to).
    HRESULT Write(LPCOLESTR name, VARIANT* value) override;

    // Replaces the contents with the file's; on failure the bag is unchanged.
    // STG_E_FILENOTFOUND, STG_E_INVALIDNAME (a link, not a regular file),
    // STG_E_INVALIDHEADER (not a bag file), STG_E_DOCFILECORRUPT (a bad
    // line), STG_E_MEDIUMFULL (over the size bound).
    HRESULT Load(const std::string& path);
    // Writes through a temporary file beside the target.
    HRESULT Save(const std::string& path) const;

    HRESULT ParseText(const std::string& text);
    std::string FormatText() const;

    std::size_t Count() const { return mValues.size(); }

protected:
    CPropertyBag() = default;

private:
    template <class T, class... Args>
    friend ComPtr<T> MakeObject(Args&&... args);

    using Values = std::vector<std::pair<std::u16string, CVariant>>;
    // Positions in mValues by name with ASCII letters folded to lower case.
    using Index = std::unordered_map<std::u16string, std::size_t>;

    CVariant* FindValue(std::u16string_view name);

    Values mValues;
    Index mIndex;
};
