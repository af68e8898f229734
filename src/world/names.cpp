#include "world/names.h"

namespace zs {

const std::array<std::string_view, 10> kSectorNames = {
    "Inside",    "City",         "Field",           "Forest",    "Hills",
    "Mountains", "Water (Swim)", "Water (No Swim)", "In Flight", "Underwater"};

const std::array<std::string_view, 8> kClimateNames = {"Temperate",    "Tropical",   "Desert",
                                                       "Tundra",       "Underwater", "Underground",
                                                       "Above clouds", "Other"};

const std::array<std::string_view, 4> kMineKindNames = {"none", "metal", "stone", "gem"};

const std::array<std::string_view, 8> kSizeNames = {
    "microscopic", "tiny", "diminutive", "small", "medium-sized", "large", "huge", "gargantuan"};

const std::array<std::string_view, 6> kDirectionWords = {"north", "east", "south",
                                                         "west",  "up",   "down"};
const std::array<std::string_view, 6> kDirectionWordsUpper = {"North", "East", "South",
                                                              "West",  "Up",   "Down"};

const std::array<std::string_view, 26> kRoomFlagNames = {
    "PITCHBLACK", "CAMP",   "!MOB",      "INDOORS",  "PEACEFUL",         "SOUNDPROOF",
    "!TRACK",     "!MAGIC", "TUNNEL",    "PRIVATE",  "GODROOM",          "HOUSE",
    "HCRSH",      "ATRIUM", "OLC",       "*",        "!MAGIC_TRANSPORT", "NOT USED",
    "NOT USED",   "FORGE",  "BUILDABLE", "FLY_DESC", "SHOUTPROOF",       "!SUMMON",
    "!MOB_MOVE",  "DARK"};

const std::array<std::string_view, 2> kNationNames = {"Aldoran", "Vesk"};

namespace {
// Rows numbered 0 or below are kept for the file's sake but not offered.
constexpr Material kMetals[] = {
    {1, "gold"},        {2, "silver"}, {0, "bronze"},    {3, "iron"},
    {0, "steel"},       {4, "zykra"},  {5, "mithril"},   {6, "adamantite"},
    {7, "crystalirre"}, {8, "copper"}, {9, "zinc"},      {10, "tin"},
    {0, "brass"},       {11, "lead"},  {12, "platinum"}, {0, "pewter"}};
constexpr Material kStones[] = {
    {1, "granite"}, {2, "obsidian"}, {3, "limestone"}, {4, "sandstone"}, {5, "feldspar"},
    {6, "clay"},    {7, "coal"},     {8, "marble"},    {9, "quartz"},    {10, "flint"},
    {11, "pyrite"}, {12, "basalt"},  {13, "pumice"},   {14, "slate"},    {15, "petrified wood"}};
constexpr Material kGems[] = {
    {1, "agate"},       {2, "amber"},      {3, "amethyst"},      {4, "aquamarine"},
    {5, "aventurine"},  {6, "bloodstone"}, {7, "citrine"},       {8, "alexandrite"},
    {9, "cat's eye"},   {10, "diamond"},   {11, "emerald"},      {12, "garnet"},
    {13, "jade"},       {14, "kunzite"},   {15, "lapis lazuli"}, {16, "malachite"},
    {17, "moonstone"},  {18, "obsidian"},  {19, "onyx"},         {20, "opal"},
    {21, "peridot"},    {22, "ruby"},      {23, "sapphire"},     {24, "spinel"},
    {25, "tourmaline"}, {26, "topaz"},     {27, "turquoise"},    {28, "zircon"}};
}  // namespace

std::span<const Material> mine_materials(int mine_kind) {
    switch (mine_kind) {
        case 1:
            return kMetals;
        case 2:
            return kStones;
        case 3:
            return kGems;
        default:
            return {};
    }
}

}  // namespace zs
