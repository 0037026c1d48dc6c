#pragma once
// The keyboard layout model: which key types a character, with which finger and
// modifiers, and where the key sits on the keyboard picture. One layout is read from a
// ".kbd" file in the keyboards folder; a "dynamic" layout takes its characters from the
// operating system's active layout.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corv {

class TUser;

struct TKeyInfoExt {
    static constexpr int kSlots = 21;
    static constexpr size_t kMaxText = 15;

    // Keys on the same row, as the file chains them.
    TKeyInfoExt* leftNeighbour = nullptr;
    TKeyInfoExt* rightNeighbour = nullptr;
    // Slot 0 no modifier, 1 Shift, 2..19 control key k, 20 control key 4 with Shift.
    std::array<std::string, kSlots> texts;
    int finger = -1;  // 1..8 left little to right little, 9 and 10 thumbs; -1 unknown
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool hidden = false;      // "h": drawn only while marked
    bool homeBump = false;    // "n"
    bool storedOnly = false;  // "d": drawn as if the key were not there
    int controlNumber = 0;
    bool alwaysColoured = false;  // "a"
    unsigned displayState = 0;    // the on-screen keyboard's marks while drawing
    bool secondFont = false;      // "s"
    bool errorPicture = false;    // "z"
    bool bowlKey = false;
    bool hasPictures = false;
    // Picture files (full paths); the on-screen keyboard turns them into bitmaps.
    std::string normalPicture;
    std::string highlightedPicture;

    std::string kind;  // the line kind, lower-cased
    int scanCode = 0;  // "vkey"/"xkey"
    int line = 0;      // line number in the file

    bool HasFinger() const { return finger >= 1 && finger <= 10; }
};

struct TKeyLookup {
    TKeyInfoExt* key = nullptr;
    TKeyInfoExt* modifier = nullptr;
    TKeyInfoExt* secondary = nullptr;
    int slot = -1;        // the slot that matched; 0 also for an alternative
    char baseLetter = 0;  // set when `key` is a dead key: the letter typed after it
    explicit operator bool() const { return key != nullptr; }
};

// A problem found while reading a layout file (only when asked for; see the options).
struct TLayoutProblem {
    int line = 0;  // 0: the file as a whole
    std::string text;
};

struct TLayoutLoadOptions {
    // False: a "dynamiclayout" line is noted but the file's own texts stand, so that the
    // file reads the same on every machine.
    bool useSystem = true;
    // When given, problems are collected here and nothing is reported to the user.
    std::vector<TLayoutProblem>* problems = nullptr;
};

class TKeyDataExt {
  public:
    static constexpr int kControls = 21;

    TKeyDataExt();
    ~TKeyDataExt();
    TKeyDataExt(const TKeyDataExt&) = delete;
    TKeyDataExt& operator=(const TKeyDataExt&) = delete;

    // Reads a layout file into a new object. Returns the status of opening it (negative: failure).
    // A file whose "$version" is not 6 is reported as error -89 and leaves the layout empty.
    int Load(const std::string& fileName);
    int Load(const std::string& fileName, const TLayoutLoadOptions& options);

    // Makes the layout's code the operating system's active layout. With `checkInstalled`
    // only a layout the user has installed is taken. False when nothing changed.
    bool ActivateSystemLayout(bool checkInstalled);

    // The key that types a text (one character or a short text), its modifier and
    // secondary modifier; a Latin-1 letter no key gives is answered by its dead key.
    TKeyLookup FindKey(std::string_view text);
    TKeyLookup FindKey(char c) { return FindKey(std::string_view(&c, 1)); }
    // 0 when no key (or the key has no finger 1..10).
    int FingerOf(char c);
    int ModifierFingerOf(char c);
    // Bit f set for every finger f (1..10) a character of the text needs: its key, its
    // modifiers and, after a dead key, the letter's key.
    uint32_t FingersOf(std::string_view text);
    // The slot-0 text of the character's key.
    std::string CaptionOf(char c);
    // Fingers 1..10 by name; "-" for others; "" in a bowl layout.
    std::string FingerName(int finger) const;
    bool HasFingers() const;
    bool IsHomeKey(char c) const;
    // The character itself when it is a home key, else the home-row character of its
    // finger; 0 when there is none.
    char HomeKeyFor(char c);
    std::string SameFingerKeys(char c);
    std::string MirrorFingerKeys(char c);
    std::string NeighbourKeys(char c);
    // The text a key shows for a slot: names for Tab, Enter, Backspace and Space, the
    // first of a list of alternatives.
    std::string KeyCaption(const TKeyInfoExt& key, int slot) const;
    // In comma/dot mode, "." and "," become the slot-0 character of the key that gives
    // them; any other text comes back unchanged.
    std::string CommaDotKey(std::string_view text);
    // The characters of a text the layout cannot type, each once, in text order.
    std::string CannotProduce(std::string_view text) const;
    bool CanProduce(std::string_view text) const { return CannotProduce(text).empty(); }

    bool IsBowl() const { return !notBowl; }
    const TKeyInfoExt* Control(int number, bool rightHand) const;

    // Placement cursor: the last key's position and size.
    int cursorX = 0;
    int cursorY = 0;
    int cursorHeight = 0;
    int cursorWidth = 0;
    bool dynamic = false;
    std::string fileName;
    int commaDotMode = 0;
    std::string layoutLanguage = "00NONE0000";
    char semicolonReplacement = ';';  // 0 when a course switches it off
    std::string charSet;              // every key text, concatenated
    std::string layoutCode;
    bool notBowl = true;
    bool osLayoutChanged = false;
    int defaultWidth = 40;
    int defaultHeight = 40;
    TKeyInfoExt* lastSecondary = nullptr;
    std::string keybPicFile;
    int keybPicX = 0;
    int keybPicY = 0;
    std::string materialBase = "qwerty";
    std::string homeRow;
    std::vector<std::unique_ptr<TKeyInfoExt>> keys;
    std::array<TKeyInfoExt*, kControls> leftControls{};
    std::array<TKeyInfoExt*, kControls> rightControls{};
    std::array<int, 3> fontSizes{18, 14, 14};

  private:
    class Reader;
    TKeyLookup FindDirect(std::string_view text);
    TKeyInfoExt* ControlFor(int number, bool rightHand) const;
    std::string KeysOfFinger(char c, int finger);
    std::string Single(const TKeyInfoExt* key, int slot, char c) const;
};

// The accent tables: a letter, its base letter and its accent. `withCedillaCapital`
// adds Ç (the table for listing what a layout cannot type).
bool DecomposeAccented(char letter, char& base, char& accent, bool withCedillaCapital);

// The process's layout (none until one is loaded).
TKeyDataExt* CurrentLayout();
void SetCurrentLayout(std::unique_ptr<TKeyDataExt> layout);
// A new layout read from the same file, keeping the semicolon replacement (after the user
// switched the operating system's layout under a dynamic layout). Null when it fails.
std::unique_ptr<TKeyDataExt> ReloadLayout(const TKeyDataExt& layout);

// The layout file for a user from the "CorvKeyb.ini" lines (name=file;language;variant)
// and the system's layout identifier; with `wantName` the layout's name (string 1107 when
// none fits). A null user counts as one who follows the system's layout.
std::string ChooseLayoutFile(const std::vector<std::string>& layoutLines,
                             const std::string& systemId, TUser* user, const std::string& fallback,
                             bool wantName);
// The same with the program settings' lines, the system's current layout and the current
// user.
std::string ChooseLayoutFile(const std::string& fallback, bool wantName);

// Chooses the user's layout file ("qwerty.kbd" when nothing fits), makes it the current
// layout and, unless the policy has "DisableWindowsLayouts", activates the system's
// layout. A file that cannot be read is reported (-500) and its status returned.
int LoadUserLayout(TUser& user);

// Start-up: the program settings read the layout identifier from the system, and users
// take ";" in key lists to be the current layout's semicolon replacement.
void InstallKeyboardLayoutSources();

}  // namespace corv
