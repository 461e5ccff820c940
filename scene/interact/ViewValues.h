// The controller's persistent view: the scene's rotation angles in degrees,
// the camera distance, the zoom scale and the scene's translation. They are
// saved as eight named floats ("Ctrl_XRot" ... "Ctrl_ZTrans"), through a
// property exchange or as text of "name=value" lines.
#pragma once

#include <string>

class CPropExchange;

struct CVViewValues {
    float rotX = 0.0f, rotY = 0.0f, rotZ = 0.0f;
    float distance = 5.8f;
    float scale = 1.0f;
    float tx = 0.0f, ty = 0.0f, tz = 0.0f;

    bool operator==(const CVViewValues& o) const;
    bool operator!=(const CVViewValues& o) const { return !(*this == o); }

    // Every value finite and the scale positive.
    bool IsUsable() const;

    // The names in their saving order.
    static const char* const kNames[8];

    // Eight lines "Ctrl_XRot=<value>" ... in saving order, each value written
    // so that it reads back exactly.
    std::wstring ToText() const;
    // Reads text as ToText writes it (white space around names and values,
    // and empty lines, allowed; names compared ignoring case). All eight
    // names must be there once each and nothing else; every value must be a
    // whole finite number, and the scale positive. On any fault `out` is
    // left alone, false is returned and `error` (when given) says why.
    // Text longer than kMaxTextLength characters is refused.
    static constexpr std::size_t kMaxTextLength = 4096;
    static bool FromText(const std::wstring& text, CVViewValues& out, std::wstring* error = nullptr);

    // Saves, or loads all eight values; a load that would bring in a value
    // that is not finite, or a scale that is not positive, changes nothing and
    // returns false. A value missing from a bag keeps what it was.
    bool Exchange(CPropExchange& px);
};
