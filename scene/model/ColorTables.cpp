// Colour names and the colour-naming code table.
#include "scene/model/ColorTables.h"

namespace lumo::color {

// Upper-case names, then the lower-case (web) names. Eight web names are
// spelled "medimum..." and only that spelling is accepted for them; stored
// documents use it.
const NamedColor kUpperNames[] = {
    {"A", 128, 128, 128},
    {"AQUA", 0, 255, 255},
    {"B", 0, 0, 255},
    {"BLACK", 0, 0, 0},
    {"BLUE", 0, 0, 255},
    {"BR", 160, 80, 0},
    {"BROWN", 160, 80, 0},
    {"CHARCOA", 79, 79, 79},
    {"CREAM", 232, 216, 152},
    {"CYAN", 0, 255, 255},
    {"DAGRAY", 64, 64, 64},
    {"G", 0, 255, 0},
    {"GOLD", 255, 170, 0},
    {"GR", 128, 128, 128},
    {"GRAY", 128, 128, 128},
    {"GREEN", 0, 128, 0},
    {"GREY", 128, 128, 128},
    {"LILAC", 224, 96, 144},
    {"LIME", 0, 255, 0},
    {"LTGRAY", 192, 192, 192},
    {"MAGENTA", 255, 0, 255},
    {"MAROON", 112, 0, 0},
    {"O", 255, 128, 0},
    {"OLIVE", 128, 128, 0},
    {"ORANGE", 255, 128, 0},
    {"P", 112, 48, 112},
    {"PINK", 255, 0, 128},
    {"PURPLE", 112, 48, 112},
    {"R", 255, 0, 0},
    {"RBK", 25, 25, 25},
    {"RED", 255, 0, 0},
    {"ROSE", 255, 96, 96},
    {"SALMON", 255, 0, 85},
    {"STEEL", 56, 131, 168},
    {"TAN", 224, 168, 96},
    {"VIOLET", 176, 144, 208},
    {"W", 255, 255, 255},
    {"WH", 255, 255, 255},
    {"WHITE", 255, 255, 255},
    {"Y", 255, 255, 0},
    {"YELLOW", 255, 255, 0},
};
const std::size_t kUpperNameCount = sizeof(kUpperNames) / sizeof(kUpperNames[0]);

const NamedColor kLowerNames[] = {
    {"aliceblue", 240, 248, 255},
    {"antiquewhite", 250, 235, 215},
    {"aqua", 0, 255, 255},
    {"aquamarine", 127, 255, 212},
    {"azure", 240, 255, 255},
    {"beige", 245, 245, 220},
    {"bisque", 255, 228, 196},
    {"black", 0, 0, 0},
    {"blanchedalmond", 255, 235, 205},
    {"blue", 0, 0, 255},
    {"blueviolet", 138, 43, 226},
    {"brown", 165, 42, 42},
    {"burlywood", 222, 184, 135},
    {"cadetblue", 95, 158, 160},
    {"chartreuse", 127, 255, 0},
    {"chocolate", 210, 105, 30},
    {"coral", 255, 127, 80},
    {"cornflowerblue", 100, 149, 237},
    {"cornsilk", 255, 248, 220},
    {"crimson", 220, 20, 60},
    {"cyan", 0, 255, 255},
    {"darkblue", 0, 0, 139},
    {"darkcyan", 0, 139, 139},
    {"darkgoldenrod", 184, 134, 11},
    {"darkgray", 169, 169, 169},
    {"darkgreen", 0, 100, 0},
    {"darkkhaki", 189, 183, 107},
    {"darkmagenta", 139, 0, 139},
    {"darkolivegreen", 85, 107, 47},
    {"darkorange", 255, 140, 0},
    {"darkorchid", 153, 50, 204},
    {"darkred", 139, 0, 0},
    {"darksalmon", 233, 150, 122},
    {"darkseagreen", 143, 188, 143},
    {"darkslateblue", 72, 61, 139},
    {"darkslategray", 47, 79, 79},
    {"darkturquoise", 0, 206, 209},
    {"darkviolet", 148, 0, 211},
    {"deeppink", 255, 20, 147},
    {"deepskyblue", 0, 191, 255},
    {"dimgray", 105, 105, 105},
    {"dodgerblue", 30, 144, 255},
    {"firebrick", 178, 34, 34},
    {"floralwhite", 255, 250, 240},
    {"forestgreen", 34, 139, 34},
    {"fuchsia", 255, 0, 255},
    {"gainsboro", 220, 220, 220},
    {"ghostwhite", 248, 248, 255},
    {"gold", 255, 215, 0},
    {"goldenrod", 218, 165, 32},
    {"gray", 128, 128, 128},
    {"green", 0, 128, 0},
    {"greenyellow", 173, 255, 47},
    {"honeydew", 240, 255, 240},
    {"hotpink", 255, 105, 180},
    {"indianred", 205, 92, 92},
    {"indigo", 75, 0, 130},
    {"ivory", 255, 255, 240},
    {"khaki", 240, 230, 140},
    {"lavender", 230, 230, 250},
    {"lavenderblush", 255, 240, 245},
    {"lawngreen", 124, 252, 0},
    {"lemonchiffon", 255, 250, 205},
    {"lightblue", 173, 216, 230},
    {"lightcoral", 240, 128, 128},
    {"lightcyan", 224, 255, 255},
    {"lightgoldenrodyellow", 250, 250, 210},
    {"lightgreen", 144, 238, 144},
    {"lightgrey", 211, 211, 211},
    {"lightpink", 255, 182, 193},
    {"lightsalmon", 255, 160, 122},
    {"lightseagreen", 32, 178, 170},
    {"lightskyblue", 135, 206, 250},
    {"lightslategray", 119, 136, 153},
    {"lightsteelblue", 176, 196, 222},
    {"lightyellow", 255, 255, 224},
    {"lime", 0, 255, 0},
    {"limegreen", 50, 205, 50},
    {"linen", 250, 240, 230},
    {"magenta", 255, 0, 255},
    {"maroon", 128, 0, 0},
    {"medimumblue", 0, 0, 205},
    {"medimumorchid", 186, 85, 211},
    {"medimumpurple", 147, 112, 219},
    {"medimumseagreen", 60, 179, 113},
    {"medimumslateblue", 123, 104, 238},
    {"medimumspringgreen", 0, 250, 154},
    {"medimumturquoise", 72, 209, 204},
    {"medimumvioletred", 199, 21, 133},
    {"mediumaquamarine", 102, 205, 170},
    {"midnightblue", 25, 25, 112},
    {"mintcream", 245, 255, 250},
    {"mistyrose", 255, 228, 225},
    {"moccasin", 255, 228, 181},
    {"navajowhite", 255, 222, 173},
    {"navy", 0, 0, 128},
    {"oldlace", 253, 245, 230},
    {"olive", 128, 128, 0},
    {"olivedrab", 107, 142, 35},
    {"orange", 255, 165, 0},
    {"orangered", 255, 69, 0},
    {"orchid", 218, 112, 214},
    {"palegoldenrod", 238, 232, 170},
    {"palegreen", 152, 251, 152},
    {"paleturquoise", 175, 238, 238},
    {"palevioletred", 219, 112, 147},
    {"papayawhip", 255, 239, 213},
    {"peachpuff", 255, 218, 185},
    {"peru", 205, 133, 63},
    {"pink", 255, 192, 203},
    {"plum", 221, 160, 221},
    {"powderblue", 176, 224, 230},
    {"purple", 128, 0, 128},
    {"red", 255, 0, 0},
    {"rosybrown", 188, 143, 143},
    {"royalblue", 65, 105, 225},
    {"saddlebrown", 139, 69, 19},
    {"salmon", 250, 128, 114},
    {"sandybrown", 244, 164, 96},
    {"seagreen", 46, 139, 87},
    {"seashell", 255, 245, 238},
    {"sienna", 160, 82, 45},
    {"silver", 192, 192, 192},
    {"skyblue", 135, 206, 235},
    {"slateblue", 106, 90, 205},
    {"slategray", 112, 128, 144},
    {"snow", 255, 250, 250},
    {"springgreen", 0, 255, 127},
    {"steelblue", 70, 130, 180},
    {"tan", 210, 180, 140},
    {"teal", 0, 128, 128},
    {"thistle", 216, 191, 216},
    {"tomato", 255, 99, 71},
    {"turquoise", 64, 224, 208},
    {"violet", 238, 130, 238},
    {"wheat", 245, 222, 179},
    {"white", 255, 255, 255},
    {"whitesmoke", 245, 245, 245},
    {"yellow", 255, 255, 0},
    {"yellowgreen", 154, 205, 50},
};
const std::size_t kLowerNameCount = sizeof(kLowerNames) / sizeof(kLowerNames[0]);

const char* const kModifierCodes[13] = {"VPA", "VLI", "VDA", "VDE", "PA", "BI", "LI",
                                        "MO",  "ME",  "ST",  "DA",  "DE", "VI"};
// BL black(ish), WH white, YG yellow green, GR gray(ish), PK pink(ish),
// OL olive, BR brown(ish), LG yellowish before green or gray (text "YG"
// always reads as yellow green), R red(dish), O orange, Y yellow(ish), G green(ish),
// B blue/bluish, P purple/purplish, V violet.
const char* const kHueCodes[15] = {"BL", "WH", "YG", "GR", "PK", "OL", "BR", "LG",
                                   "R",  "O",  "Y",  "G",  "B",  "P",  "V"};

// The centroid colours of the ISCC-NBS colour names (US National Bureau of
// Standards), keyed by the codes of the name: modifiers VPA very pale,
// VLI very light, VDA very dark, VDE very deep, PA pale, BI brilliant,
// LI light, MO moderate, ME medium, ST strong, DA dark, DE deep, VI vivid.
// Plain black is taken as true black (0, 0, 0).
const CodedColor kColorCodes[] = {
    {0x01, 0x00,   0,   0,   0}, // BL        black
    {0x01, 0x90,  46,  29,  33}, // BLR       blackish red
    {0x01, 0xC0,  26,  36,  33}, // BLG       blackish green
    {0x01, 0xD0,  32,  40,  48}, // BLB       blackish blue
    {0x01, 0xE0,  41,  30,  41}, // BLP       blackish purple
    {0x02, 0x00, 242, 243, 244}, // WH        white
    {0x04, 0x30, 143, 151, 121}, // GRYG      grayish yellow green
    {0x04, 0x50, 196, 174, 173}, // GRPK      grayish pink
    {0x04, 0x60,  91,  88,  66}, // GROL      grayish olive
    {0x04, 0x6C,  81,  87,  68}, // GROLG     grayish olive green
    {0x04, 0x70,  99,  81,  71}, // GRBR      grayish brown
    {0x04, 0x90, 144,  93,  93}, // GRR       grayish red
    {0x04, 0x97, 103,  76,  71}, // GRRBR     grayish reddish brown
    {0x04, 0x9A, 180, 116,  94}, // GRRO      grayish reddish orange
    {0x04, 0x9E, 131, 100, 121}, // GRRP      grayish reddish purple
    {0x04, 0xB0, 194, 178, 128}, // GRY       grayish yellow
    {0x04, 0xB5, 199, 173, 163}, // GRYPK     grayish yellowish pink
    {0x04, 0xB7, 126, 109,  90}, // GRYBR     grayish yellowish brown
    {0x04, 0xC0,  94, 113, 106}, // GRG       grayish green
    {0x04, 0xCB, 185, 181, 125}, // GRGY      grayish greenish yellow
    {0x04, 0xD0,  83, 104, 120}, // GRB       grayish blue
    {0x04, 0xE0, 121, 104, 120}, // GRP       grayish purple
    {0x04, 0xE5, 195, 166, 177}, // GRPPK     grayish purplish pink
    {0x04, 0xE9, 145,  95, 109}, // GRPR      grayish purplish red
    {0x04, 0xED,  76,  81, 109}, // GRPB      grayish purplish blue
    {0x04, 0xF0,  85,  76, 105}, // GRV       grayish violet
    {0x05, 0x20, 234, 227, 225}, // PKWH      pinkish white
    {0x05, 0x40, 193, 182, 179}, // PKGR      pinkish gray
    {0x06, 0x10,  37,  36,  29}, // OLBL      olive black
    {0x06, 0x40,  87,  85,  76}, // OLGR      olive gray
    {0x07, 0x10,  40,  32,  28}, // BRBL      brownish black
    {0x07, 0x40,  91,  80,  79}, // BRGR      brownish gray
    {0x07, 0x50, 194, 172, 153}, // BRPK      brownish pink
    {0x07, 0xA0, 174, 105,  56}, // BRO       brownish orange
    {0x08, 0x40, 191, 184, 165}, // LGGR      yellowish gray
    {0x09, 0x10,  40,  32,  34}, // RBL       reddish black
    {0x09, 0x40, 143, 129, 127}, // RGR       reddish gray
    {0x0B, 0x20, 240, 234, 214}, // YWH       yellowish white
    {0x0C, 0x10,  30,  35,  33}, // GBL       greenish black
    {0x0C, 0x20, 223, 237, 232}, // GWH       greenish white
    {0x0C, 0x40, 125, 137, 132}, // GGR       greenish gray
    {0x0D, 0x10,  32,  36,  40}, // BBL       bluish black
    {0x0D, 0x20, 233, 233, 237}, // BWH       bluish white
    {0x0D, 0x40, 129, 135, 139}, // BGR       bluish gray
    {0x0E, 0x10,  36,  33,  36}, // PBL       purplish black
    {0x0E, 0x20, 232, 227, 229}, // PWH       purplish white
    {0x0E, 0x40, 139, 133, 137}, // PGR       purplish gray
    {0x1C, 0x00, 199, 230, 215}, // VPAG      very pale green
    {0x1D, 0x00, 188, 212, 230}, // VPAB      very pale blue
    {0x1E, 0x00, 214, 202, 221}, // VPAP      very pale purple
    {0x1E, 0xD0, 192, 200, 225}, // VPAPB     very pale purplish blue
    {0x1F, 0x00, 196, 195, 221}, // VPAV      very pale violet
    {0x28, 0xC0, 182, 229, 175}, // VLILGG    very light yellowish green
    {0x2C, 0x00, 142, 209, 178}, // VLIG      very light green
    {0x2C, 0xD0, 156, 209, 220}, // VLIGB     very light greenish blue
    {0x2D, 0x00, 161, 202, 241}, // VLIB      very light blue
    {0x2D, 0xC0, 150, 222, 209}, // VLIBG     very light bluish green
    {0x2E, 0x00, 213, 186, 219}, // VLIP      very light purple
    {0x2E, 0xD0, 179, 188, 226}, // VLIPB     very light purplish blue
    {0x2F, 0x00, 220, 208, 255}, // VLIV      very light violet
    {0x38, 0xC0,  23,  54,  32}, // VDALGG    very dark yellowish green
    {0x39, 0x00,  63,  23,  40}, // VDAR      very dark red
    {0x39, 0xE0,  52,  23,  49}, // VDARP     very dark reddish purple
    {0x3C, 0x00,  28,  53,  45}, // VDAG      very dark green
    {0x3C, 0xD0,   0,  46,  59}, // VDAGB     very dark greenish blue
    {0x3D, 0xC0,   0,  42,  41}, // VDABG     very dark bluish green
    {0x3E, 0x00,  48,  25,  52}, // VDAP      very dark purple
    {0x3E, 0x90,  56,  21,  44}, // VDAPR     very dark purplish red
    {0x48, 0xC0,   0,  49,  24}, // VDELGG    very deep yellowish green
    {0x49, 0x00,  92,   9,  35}, // VDER      very deep red
    {0x49, 0xE0,  84,  25,  78}, // VDERP     very deep reddish purple
    {0x4E, 0x00,  64,  26,  76}, // VDEP      very deep purple
    {0x4E, 0x90,  84,  19,  59}, // VDEPR     very deep purplish red
    {0x53, 0x00, 218, 223, 183}, // PAYG      pale yellow green
    {0x55, 0x00, 234, 216, 215}, // PAPK      pale pink
    {0x59, 0xE0, 170, 138, 158}, // PARP      pale reddish purple
    {0x5A, 0xB0, 250, 214, 165}, // PAOY      pale orange yellow
    {0x5B, 0x00, 243, 229, 171}, // PAY       pale yellow
    {0x5B, 0x50, 236, 213, 197}, // PAYPK     pale yellowish pink
    {0x5C, 0x00, 141, 163, 153}, // PAG       pale green
    {0x5C, 0xB0, 235, 232, 164}, // PAGY      pale greenish yellow
    {0x5D, 0x00, 145, 163, 176}, // PAB       pale blue
    {0x5E, 0x00, 170, 152, 169}, // PAP       pale purple
    {0x5E, 0x50, 232, 204, 215}, // PAPPK     pale purplish pink
    {0x5E, 0xD0, 140, 146, 172}, // PAPB      pale purplish blue
    {0x5F, 0x00, 150, 144, 171}, // PAV       pale violet
    {0x63, 0x00, 189, 218,  87}, // BIYG      brilliant yellow green
    {0x68, 0xC0, 131, 211, 125}, // BILGG     brilliant yellowish green
    {0x6A, 0x00, 253, 148,  63}, // BIO       brilliant orange
    {0x6A, 0xB0, 255, 193,  79}, // BIOY      brilliant orange yellow
    {0x6B, 0x00, 250, 218,  94}, // BIY       brilliant yellow
    {0x6C, 0x00,  62, 180, 137}, // BIG       brilliant green
    {0x6C, 0xB0, 233, 228,  80}, // BIGY      brilliant greenish yellow
    {0x6C, 0xD0,  35, 158, 186}, // BIGB      brilliant greenish blue
    {0x6D, 0x00,  73, 151, 208}, // BIB       brilliant blue
    {0x6D, 0xC0,   0, 166, 147}, // BIBG      brilliant bluish green
    {0x6E, 0x00, 211, 153, 230}, // BIP       brilliant purple
    {0x6E, 0x50, 255, 200, 214}, // BIPPK     brilliant purplish pink
    {0x6E, 0xD0, 108, 121, 184}, // BIPB      brilliant purplish blue
    {0x6F, 0x00, 126, 115, 184}, // BIV       brilliant violet
    {0x73, 0x00, 201, 220, 137}, // LIYG      light yellow green
    {0x74, 0x00, 185, 184, 181}, // LIGR      light gray
    {0x74, 0x60, 140, 135, 103}, // LIGROL    light grayish olive
    {0x74, 0x70, 149, 128, 112}, // LIGRBR    light grayish brown
    {0x74, 0x90, 173, 136, 132}, // LIGRR     light grayish red
    {0x74, 0x97, 151, 127, 115}, // LIGRRBR   light grayish reddish brown
    {0x74, 0xB7, 174, 155, 130}, // LIGRYBR   light grayish yellowish brown
    {0x74, 0xE9, 175, 134, 142}, // LIGRPR    light grayish purplish red
    {0x75, 0x00, 249, 204, 202}, // LIPK      light pink
    {0x76, 0x00, 134, 126,  54}, // LIOL      light olive
    {0x76, 0x40, 138, 135, 118}, // LIOLGR    light olive gray
    {0x76, 0x70, 150, 113,  23}, // LIOLBR    light olive brown
    {0x77, 0x00, 166, 123,  91}, // LIBR      light brown
    {0x77, 0x40, 142, 130, 121}, // LIBRGR    light brownish gray
    {0x78, 0xC0, 147, 197, 146}, // LILGG     light yellowish green
    {0x79, 0x70, 168, 124, 109}, // LIRBR     light reddish brown
    {0x79, 0xE0, 183, 132, 167}, // LIRP      light reddish purple
    {0x7A, 0x00, 250, 181, 127}, // LIO       light orange
    {0x7A, 0xB0, 251, 201, 127}, // LIOY      light orange yellow
    {0x7B, 0x00, 248, 222, 126}, // LIY       light yellow
    {0x7B, 0x50, 244, 194, 194}, // LIYPK     light yellowish pink
    {0x7B, 0x70, 193, 154, 107}, // LIYBR     light yellowish brown
    {0x7C, 0x00, 106, 171, 142}, // LIG       light green
    {0x7C, 0x40, 178, 190, 181}, // LIGGR     light greenish gray
    {0x7C, 0xB0, 234, 230, 121}, // LIGY      light greenish yellow
    {0x7C, 0xD0, 102, 170, 188}, // LIGB      light greenish blue
    {0x7D, 0x00, 112, 163, 204}, // LIB       light blue
    {0x7D, 0x40, 180, 188, 192}, // LIBGR     light bluish gray
    {0x7D, 0xC0, 102, 173, 164}, // LIBG      light bluish green
    {0x7E, 0x00, 182, 149, 192}, // LIP       light purple
    {0x7E, 0x40, 191, 185, 189}, // LIPGR     light purplish gray
    {0x7E, 0x50, 239, 187, 204}, // LIPPK     light purplish pink
    {0x7E, 0xD0, 135, 145, 191}, // LIPB      light purplish blue
    {0x7F, 0x00, 140, 130, 182}, // LIV       light violet
    {0x83, 0x00, 138, 154,  91}, // MOYG      moderate yellow green
    {0x85, 0x00, 222, 165, 164}, // MOPK      moderate pink
    {0x86, 0x00, 102,  93,  30}, // MOOL      moderate olive
    {0x86, 0x70, 108,  84,  30}, // MOOLBR    moderate olive brown
    {0x86, 0xC0,  74,  93,  35}, // MOOLG     moderate olive green
    {0x87, 0x00, 111,  78,  55}, // MOBR      moderate brown
    {0x88, 0xC0, 103, 146, 103}, // MOLGG     moderate yellowish green
    {0x89, 0x00, 171,  78,  82}, // MOR       moderate red
    {0x89, 0x70, 121,  68,  59}, // MORBR     moderate reddish brown
    {0x89, 0xA0, 203, 109,  81}, // MORO      moderate reddish orange
    {0x89, 0xE0, 145,  92, 131}, // MORP      moderate reddish purple
    {0x8A, 0x00, 217, 144,  88}, // MOO       moderate orange
    {0x8A, 0xB0, 227, 168,  87}, // MOOY      moderate orange yellow
    {0x8B, 0x00, 201, 174,  93}, // MOY       moderate yellow
    {0x8B, 0x50, 217, 166, 169}, // MOYPK     moderate yellowish pink
    {0x8B, 0x70, 130, 102,  68}, // MOYBR     moderate yellowish brown
    {0x8C, 0x00,  59, 120,  97}, // MOG       moderate green
    {0x8C, 0xB0, 185, 180,  89}, // MOGY      moderate greenish yellow
    {0x8C, 0xD0,  54, 117, 136}, // MOGB      moderate greenish blue
    {0x8D, 0x00,  67, 107, 149}, // MOB       moderate blue
    {0x8D, 0xC0,  49, 120, 115}, // MOBG      moderate bluish green
    {0x8E, 0x00, 134,  96, 142}, // MOP       moderate purple
    {0x8E, 0x50, 213, 151, 174}, // MOPPK     moderate purplish pink
    {0x8E, 0x90, 168,  81, 110}, // MOPR      moderate purplish red
    {0x8E, 0xD0,  78,  81, 128}, // MOPB      moderate purplish blue
    {0x8F, 0x00,  96,  78, 129}, // MOV       moderate violet
    {0x94, 0x00, 132, 132, 130}, // MEGR      medium gray
    {0xA3, 0x00, 126, 159,  46}, // STYG      strong yellow green
    {0xA5, 0x00, 234, 147, 153}, // STPK      strong pink
    {0xA6, 0xC0,  64,  79,   0}, // STOLG     strong olive green
    {0xA7, 0x00, 128,  70,  27}, // STBR      strong brown
    {0xA8, 0xC0,  68, 148,  74}, // STLGG     strong yellowish green
    {0xA9, 0x00, 188,  63,  74}, // STR       strong red
    {0xA9, 0x70, 136,  45,  23}, // STRBR     strong reddish brown
    {0xA9, 0xA0, 217,  96,  59}, // STRO      strong reddish orange
    {0xA9, 0xE0, 158,  79, 136}, // STRP      strong reddish purple
    {0xAA, 0x00, 237, 135,  45}, // STO       strong orange
    {0xAA, 0xB0, 234, 162,  33}, // STOY      strong orange yellow
    {0xAB, 0x00, 212, 175,  55}, // STY       strong yellow
    {0xAB, 0x50, 249, 147, 121}, // STYPK     strong yellowish pink
    {0xAB, 0x70, 153, 101,  21}, // STYBR     strong yellowish brown
    {0xAC, 0x00,   0, 121,  89}, // STG       strong green
    {0xAC, 0xB0, 190, 183,  46}, // STGY      strong greenish yellow
    {0xAC, 0xD0,   0, 119, 145}, // STGB      strong greenish blue
    {0xAD, 0x00,   0, 103, 165}, // STB       strong blue
    {0xAD, 0xC0,   0, 122, 116}, // STBG      strong bluish green
    {0xAE, 0x00, 135,  86, 146}, // STP       strong purple
    {0xAE, 0x50, 230, 143, 172}, // STPPK     strong purplish pink
    {0xAE, 0x90, 179,  68, 108}, // STPR      strong purplish red
    {0xAE, 0xD0,  84,  90, 167}, // STPB      strong purplish blue
    {0xAF, 0x00,  96,  78, 151}, // STV       strong violet
    {0xB4, 0x00,  85,  85,  85}, // DAGR      dark gray
    {0xB4, 0x60,  54,  53,  39}, // DAGROL    dark grayish olive
    {0xB4, 0x6C,  49,  54,  43}, // DAGROLG   dark grayish olive green
    {0xB4, 0x70,  62,  50,  44}, // DAGRBR    dark grayish brown
    {0xB4, 0x90,  84,  61,  63}, // DAGRR     dark grayish red
    {0xB4, 0x97,  67,  48,  46}, // DAGRRBR   dark grayish reddish brown
    {0xB4, 0xB0, 161, 143,  96}, // DAGRY     dark grayish yellow
    {0xB4, 0xB7,  72,  60,  50}, // DAGRYBR   dark grayish yellowish brown
    {0xB4, 0xC0,  58,  75,  71}, // DAGRG     dark grayish green
    {0xB4, 0xD0,  54,  69,  79}, // DAGRB     dark grayish blue
    {0xB4, 0xE0,  80,  64,  77}, // DAGRP     dark grayish purple
    {0xB5, 0x00, 192, 128, 129}, // DAPK      dark pink
    {0xB6, 0x00,  64,  61,  33}, // DAOL      dark olive
    {0xB6, 0x70,  59,  49,  33}, // DAOLBR    dark olive brown
    {0xB6, 0xC0,  43,  61,  38}, // DAOLG     dark olive green
    {0xB7, 0x00,  66,  37,  24}, // DABR      dark brown
    {0xB8, 0xC0,  53,  94,  59}, // DALGG     dark yellowish green
    {0xB9, 0x00, 114,  47,  55}, // DAR       dark red
    {0xB9, 0x40,  92,  80,  79}, // DARGR     dark reddish gray
    {0xB9, 0x70,  62,  29,  30}, // DARBR     dark reddish brown
    {0xB9, 0xA0, 158,  71,  50}, // DARO      dark reddish orange
    {0xB9, 0xE0,  93,  57,  84}, // DARP      dark reddish purple
    {0xBA, 0xB0, 190, 138,  61}, // DAOY      dark orange yellow
    {0xBB, 0x00, 171, 145,  68}, // DAY       dark yellow
    {0xBB, 0x50, 196, 131, 121}, // DAYPK     dark yellowish pink
    {0xBB, 0x70,  75,  54,  33}, // DAYBR     dark yellowish brown
    {0xBC, 0x00,  27,  77,  62}, // DAG       dark green
    {0xBC, 0x40,  78,  87,  85}, // DAGGR     dark greenish gray
    {0xBC, 0xB0, 152, 148,  62}, // DAGY      dark greenish yellow
    {0xBC, 0xD0,   0,  73,  88}, // DAGB      dark greenish blue
    {0xBD, 0x00,   0,  48,  78}, // DAB       dark blue
    {0xBD, 0x40,  81,  88,  94}, // DABGR     dark bluish gray
    {0xBD, 0xC0,   0,  75,  73}, // DABG      dark bluish green
    {0xBE, 0x00,  86,  60,  92}, // DAP       dark purple
    {0xBE, 0x40,  93,  85,  91}, // DAPGR     dark purplish gray
    {0xBE, 0x50, 193, 126, 145}, // DAPPK     dark purplish pink
    {0xBE, 0x90, 103,  49,  71}, // DAPR      dark purplish red
    {0xBE, 0xD0,  37,  36,  64}, // DAPB      dark purplish blue
    {0xBF, 0x00,  47,  33,  64}, // DAV       dark violet
    {0xC3, 0x00,  70, 113,  41}, // DEYG      deep yellow green
    {0xC5, 0x00, 228, 113, 122}, // DEPK      deep pink
    {0xC6, 0xC0,  35,  47,   0}, // DEOLG     deep olive green
    {0xC7, 0x00,  89,  51,  25}, // DEBR      deep brown
    {0xC8, 0xC0,   0,  98,  45}, // DELGG     deep yellowish green
    {0xC9, 0x00, 132,  27,  45}, // DER       deep red
    {0xC9, 0x70,  86,   7,  12}, // DERBR     deep reddish brown
    {0xC9, 0xA0, 170,  56,  30}, // DERO      deep reddish orange
    {0xC9, 0xE0, 112,  41,  99}, // DERP      deep reddish purple
    {0xCA, 0x00, 190, 101,  22}, // DEO       deep orange
    {0xCA, 0xB0, 201, 133,   0}, // DEOY      deep orange yellow
    {0xCB, 0x00, 175, 141,  19}, // DEY       deep yellow
    {0xCB, 0x50, 230, 103,  33}, // DEYPK     deep yellowish pink
    {0xCB, 0x70, 101,  69,  34}, // DEYBR     deep yellowish brown
    {0xCC, 0x00,   0,  84,  61}, // DEG       deep green
    {0xCC, 0xB0, 155, 148,   0}, // DEGY      deep greenish yellow
    {0xCC, 0xD0,  46, 132, 149}, // DEGB      deep greenish blue
    {0xCD, 0x00,   0,  65, 106}, // DEB       deep blue
    {0xCD, 0xC0,   0,  68,  63}, // DEBG      deep bluish green
    {0xCE, 0x00,  96,  47, 107}, // DEP       deep purple
    {0xCE, 0x50, 222, 111, 161}, // DEPPK     deep purplish pink
    {0xCE, 0x90, 120,  24,  74}, // DEPR      deep purplish red
    {0xCE, 0xD0,  39,  36,  88}, // DEPB      deep purplish blue
    {0xCF, 0x00,  50,  23,  77}, // DEV       deep violet
    {0xD3, 0x00, 141, 182,   0}, // VIYG      vivid yellow green
    {0xD5, 0x00, 255, 181, 186}, // VIPK      vivid pink
    {0xD8, 0xC0,  39, 166,  76}, // VILGG     vivid yellowish green
    {0xD9, 0x00, 190,   0,  50}, // VIR       vivid red
    {0xD9, 0xA0, 226,  88,  34}, // VIRO      vivid reddish orange
    {0xD9, 0xE0, 135,   0, 116}, // VIRP      vivid reddish purple
    {0xDA, 0x00, 243, 132,   0}, // VIO       vivid orange
    {0xDA, 0xB0, 246, 166,   0}, // VIOY      vivid orange yellow
    {0xDB, 0x00, 243, 195,   0}, // VIY       vivid yellow
    {0xDB, 0x50, 255, 183, 165}, // VIYPK     vivid yellowish pink
    {0xDC, 0x00,   0, 136,  86}, // VIG       vivid green
    {0xDC, 0xB0, 220, 211,   0}, // VIGY      vivid greenish yellow
    {0xDC, 0xD0,   0, 133, 161}, // VIGB      vivid greenish blue
    {0xDD, 0x00,   0, 161, 194}, // VIB       vivid blue
    {0xDD, 0xC0,   0, 136, 130}, // VIBG      vivid bluish green
    {0xDE, 0x00, 154,  78, 174}, // VIP       vivid purple
    {0xDE, 0x90, 206,  70, 118}, // VIPR      vivid purplish red
    {0xDE, 0xD0,  48,  38, 122}, // VIPB      vivid purplish blue
    {0xDF, 0x00, 144, 101, 202}, // VIV       vivid violet
};
const std::size_t kColorCodeCount = sizeof(kColorCodes) / sizeof(kColorCodes[0]);

} // namespace lumo::color
