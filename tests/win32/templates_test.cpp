// The resources as linked into the program, read back as raw data: every dialog
// template, the menu and the icon. The dialog manager accepts a wrong bit or rectangle
// without complaint, so these tests are what notices one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

const WORD US_ENGLISH = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// ---- Raw resource data ----------------------------------------------------

struct ResourceData {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceData LoadRaw(LPCSTR type, WORD id)
{
    ResourceData raw;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), US_ENGLISH);
    if (found == nullptr)
        return raw;
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr)
        return raw;
    raw.data = static_cast<const BYTE*>(LockResource(loaded));
    raw.size = SizeofResource(module, found);
    return raw;
}

// Reads little-endian fields and UTF-16 strings, never past the end; a short read
// clears ok and yields zeros, so one check at the end covers the whole walk.
class Reader {
public:
    Reader(const ResourceData& raw) : base(raw.data), at(raw.data), end(raw.data + raw.size) {}

    bool ok = true;

    WORD Word()
    {
        if (end - at < 2) {
            ok = false;
            return 0;
        }
        WORD value = static_cast<WORD>(at[0] | (at[1] << 8));
        at += 2;
        return value;
    }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte()
    {
        if (at >= end) {
            ok = false;
            return 0;
        }
        return *at++;
    }
    // A zero-terminated UTF-16 string, kept as text if it is plain ASCII and with
    // \uXXXX escapes otherwise, so a failure message shows exactly what is stored.
    std::string String() { return StringFrom(Word()); }
    // The same, when its first character has already been read.
    std::string StringFrom(WORD first)
    {
        std::string text;
        for (WORD c = first; ok && c != 0; c = Word()) {
            if (c >= 0x20 && c < 0x7F) {
                text += static_cast<char>(c);
            } else {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", c);
                text += escape;
            }
        }
        return text;
    }
    void AlignToDword()
    {
        while ((at - base) % 4 != 0 && at < end)
            ++at;
    }
    void Skip(size_t count)
    {
        if (static_cast<size_t>(end - at) < count) {
            ok = false;
            at = end;
        } else {
            at += count;
        }
    }
    size_t Left() const { return static_cast<size_t>(end - at); }

private:
    const BYTE* base;
    const BYTE* at;
    const BYTE* end;
};

// A menu, class or control-text field: either an ordinal after 0xFFFF, or a string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::string text;
};

NameOrOrdinal ReadNameOrOrdinal(Reader& in)
{
    NameOrOrdinal field;
    WORD first = in.Word();
    if (first == 0xFFFF) {
        field.isOrdinal = true;
        field.ordinal = in.Word();
    } else if (first != 0) {
        field.text = in.StringFrom(first);
    }
    return field;
}

std::string Describe(const NameOrOrdinal& field)
{
    std::ostringstream out;
    if (field.isOrdinal)
        out << "ordinal 0x" << std::hex << field.ordinal;
    else
        out << "\"" << field.text << "\"";
    return out.str();
}

// ---- Dialog templates -----------------------------------------------------

struct DialogItem {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    WORD id;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    WORD creationDataSize;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string caption;
    WORD pointSize;
    std::string fontName;
    std::vector<DialogItem> items;
};

// Parses the classic dialog-template form. An extended template starts with
// 0xFFFF0001 where the classic one has its style, and is refused here.
::testing::AssertionResult ParseDialog(WORD id, DialogTemplate& dialog)
{
    ResourceData raw = LoadRaw(RT_DIALOG, id);
    if (raw.data == nullptr)
        return ::testing::AssertionFailure() << "dialog " << id << " not found in language 1033";
    Reader in(raw);
    dialog.style = in.Dword();
    if (dialog.style == 0xFFFF0001)
        return ::testing::AssertionFailure() << "dialog " << id << " is an extended template";
    dialog.exStyle = in.Dword();
    WORD count = in.Word();
    dialog.x = in.Short();
    dialog.y = in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    dialog.menu = ReadNameOrOrdinal(in);
    dialog.windowClass = ReadNameOrOrdinal(in);
    dialog.caption = in.String();
    dialog.pointSize = 0;
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.Word();
        dialog.fontName = in.String();
    }
    for (WORD i = 0; i < count && in.ok; ++i) {
        in.AlignToDword();
        DialogItem item;
        item.style = in.Dword();
        item.exStyle = in.Dword();
        item.x = in.Short();
        item.y = in.Short();
        item.cx = in.Short();
        item.cy = in.Short();
        item.id = in.Word();
        item.windowClass = ReadNameOrOrdinal(in);
        item.text = ReadNameOrOrdinal(in);
        item.creationDataSize = in.Word();
        in.Skip(item.creationDataSize);
        dialog.items.push_back(item);
    }
    if (!in.ok)
        return ::testing::AssertionFailure() << "dialog " << id << " ends in the middle of its data";
    in.AlignToDword();
    if (in.Left() != 0)
        return ::testing::AssertionFailure() << "dialog " << id << " has " << in.Left() << " bytes after its last control";
    return ::testing::AssertionSuccess();
}

// The predefined control classes, as the ordinals a template stores for them.
enum ControlClass : WORD { BUTTON = 0x0080, EDIT = 0x0081, STATIC = 0x0082, LISTBOX = 0x0083 };

// A label or group box that no code addresses.
const WORD NO_ID = 0xFFFF;

// Stands for a text that only has to be there, whatever its wording.
const char* const ANY_TEXT = nullptr;

struct ExpectedControl {
    WORD id;
    ControlClass windowClass;
    const char* text;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE, which every control has
    short x, y, cx, cy;
};

struct ExpectedDialog {
    WORD id;
    const char* name;
    DWORD style;
    short cx, cy;
    WORD menu;  // 0: none
    const char* caption;
    const ExpectedControl* controls;
    size_t controlCount;
};

#define CONTROLS(table) table, sizeof table / sizeof table[0]

const DWORD FRAME_MAIN = 0x90CA00C0;
const DWORD FRAME_SMALL = 0x80C800C0;

const ExpectedControl MAIN_CONTROLS[] = {
    {1002, BUTTON, "Hide", BS_DEFPUSHBUTTON | WS_TABSTOP, 7, 93, 45, 14},
    {1003, BUTTON, "Restore", BS_PUSHBUTTON | WS_TABSTOP, 57, 93, 45, 14},
    {1001, LISTBOX, "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 7, 7, 294, 82},
    {1004, BUTTON, "Minimize", BS_PUSHBUTTON | WS_TABSTOP, 107, 93, 45, 14},
    {1005, STATIC, "", SS_LEFT | WS_GROUP, 16, 120, 275, 19},
    {1006, STATIC, "", SS_CENTER | WS_GROUP, 14, 184, 59, 9},
    {1012, BUTTON, "Set Position", BS_PUSHBUTTON | WS_TABSTOP, 207, 93, 45, 14},
    {1015, BUTTON, "Refresh", BS_PUSHBUTTON | WS_TABSTOP, 259, 93, 45, 14},
    {1016, BUTTON, "Maximize", BS_PUSHBUTTON | WS_TABSTOP, 157, 93, 45, 14},
    {NO_ID, BUTTON, "Window Name", BS_GROUPBOX, 7, 111, 297, 31},
    {NO_ID, BUTTON, "Window Status", BS_GROUPBOX | BS_CENTER, 7, 174, 71, 26},
    {1010, EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 11, 152, 25, 14},
    {1011, EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 46, 152, 25, 14},
    {1013, EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 79, 152, 25, 14},
    {1014, EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 113, 152, 25, 14},
    {NO_ID, BUTTON, "Horz", BS_GROUPBOX | BS_CENTER, 7, 142, 32, 28},
    {NO_ID, BUTTON, "Vertical", BS_GROUPBOX | BS_CENTER, 42, 142, 32, 28},
    {NO_ID, BUTTON, "Width", BS_GROUPBOX | BS_CENTER, 76, 142, 32, 28},
    {NO_ID, BUTTON, "Height", BS_GROUPBOX | BS_CENTER, 110, 142, 32, 28},
    {1019, BUTTON, "About", BS_PUSHBUTTON | WS_TABSTOP, 85, 177, 51, 23},
    {1020, BUTTON, "U", BS_PUSHBUTTON | WS_TABSTOP, 152, 152, 59, 12},
    {1021, BUTTON, "R", BS_PUSHBUTTON | WS_TABSTOP, 182, 164, 29, 21},
    {1022, BUTTON, "D", BS_PUSHBUTTON | WS_TABSTOP, 152, 186, 59, 12},
    {1023, BUTTON, "L", BS_PUSHBUTTON | WS_TABSTOP, 152, 164, 29, 21},
    {NO_ID, BUTTON, "Window Position", BS_GROUPBOX | BS_CENTER, 146, 143, 73, 57},
    {NO_ID, BUTTON, "Window Size", BS_GROUPBOX | BS_CENTER, 231, 143, 73, 57},
    {1024, BUTTON, "Taller", BS_PUSHBUTTON | WS_TABSTOP, 235, 152, 59, 10},
    {1027, BUTTON, "Shorter", BS_PUSHBUTTON | WS_TABSTOP, 235, 164, 59, 10},
    {1028, BUTTON, "Wider", BS_PUSHBUTTON | WS_TABSTOP, 235, 176, 59, 10},
    {1029, BUTTON, "Narrower", BS_PUSHBUTTON | WS_TABSTOP, 235, 188, 59, 10},
};

// Template order differs from the order on screen: the last line sits between the
// first and the third.
const ExpectedControl ABOUT_CONTROLS[] = {
    {NO_ID, STATIC, "TARNAVEL", SS_CENTER | WS_GROUP, 7, 7, 165, 8},
    {NO_ID, STATIC, ANY_TEXT, SS_LEFT | WS_GROUP, 7, 19, 161, 10},
    {NO_ID, STATIC, "Close this box to go back.", SS_LEFT | WS_GROUP, 8, 45, 164, 10},
    {NO_ID, STATIC, ANY_TEXT, SS_LEFT | WS_GROUP, 8, 30, 164, 10},
};

const ExpectedControl SIZE_STEP_CONTROLS[] = {
    {NO_ID, STATIC, "Window Resizing Incremental Value (pixels)", SS_LEFT | WS_GROUP, 7, 10, 141, 8},
    {1021, EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 149, 8, 32, 14},
    {1022, BUTTON, "OK", BS_PUSHBUTTON | WS_TABSTOP, 187, 8, 36, 15},
    {1023, BUTTON, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 227, 8, 36, 15},
};

const ExpectedControl POSITION_STEP_CONTROLS[] = {
    {NO_ID, STATIC, "Window Position Incremental Value (pixels)", SS_LEFT | WS_GROUP, 7, 10, 141, 8},
    {1024, EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 149, 8, 32, 14},
    {1022, BUTTON, "OK", BS_PUSHBUTTON | WS_TABSTOP, 187, 8, 36, 15},
    {1023, BUTTON, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 227, 8, 36, 15},
};

const ExpectedControl FILTERS_CONTROLS[] = {
    {1025, BUTTON, "Show Visible Windows", BS_AUTOCHECKBOX | WS_DISABLED | WS_TABSTOP, 7, 10, 94, 11},
    {1026, BUTTON, "Show Hidden Windows", BS_AUTOCHECKBOX | WS_DISABLED | WS_TABSTOP, 7, 21, 94, 11},
    {1027, BUTTON, "Show\"Blank Title Bar\" Windows", BS_AUTOCHECKBOX | WS_TABSTOP, 7, 32, 117, 11},
    {1022, BUTTON, "OK", BS_PUSHBUTTON | WS_TABSTOP, 8, 50, 36, 15},
    {1023, BUTTON, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 55, 50, 36, 15},
};

const ExpectedControl AUTO_REFRESH_CONTROLS[] = {
    {1026, BUTTON, "Auto Refresh On", BS_AUTOCHECKBOX | WS_TABSTOP, 7, 29, 68, 8},
    {NO_ID, STATIC, "Auto Refresh Every", SS_LEFT | WS_GROUP, 7, 10, 65, 8},
    {1027, EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 73, 8, 32, 14},
    {1022, BUTTON, "OK", BS_PUSHBUTTON | WS_TABSTOP, 78, 26, 36, 15},
    {1023, BUTTON, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 119, 26, 36, 15},
    {NO_ID, STATIC, "Milliseconds", SS_LEFT | WS_GROUP, 109, 10, 41, 8},
};

const ExpectedDialog MAIN_DIALOG = {101, "IDD_MAIN", FRAME_MAIN, 311, 207, 104, "Tarnavel", CONTROLS(MAIN_CONTROLS)};

const ExpectedDialog SMALL_DIALOGS[] = {
    {102, "IDD_ABOUT", FRAME_SMALL, 186, 63, 0, "About Tarnavel", CONTROLS(ABOUT_CONTROLS)},
    {105, "IDD_SIZE_STEP", FRAME_SMALL, 274, 33, 0, "Set Resizing Value", CONTROLS(SIZE_STEP_CONTROLS)},
    {106, "IDD_POSITION_STEP", FRAME_SMALL, 274, 33, 0, "Set Reposition Value", CONTROLS(POSITION_STEP_CONTROLS)},
    {107, "IDD_FILTERS", FRAME_SMALL, 186, 74, 0, "Filters", CONTROLS(FILTERS_CONTROLS)},
    {108, "IDD_AUTO_REFRESH", FRAME_SMALL, 166, 50, 0, "Auto Refresh", CONTROLS(AUTO_REFRESH_CONTROLS)},
};

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// Compares a parsed template with its table and names the first differing field of
// the header, or of each control that differs.
::testing::AssertionResult MatchesTable(const ExpectedDialog& expected)
{
    DialogTemplate dialog;
    ::testing::AssertionResult parsed = ParseDialog(expected.id, dialog);
    if (!parsed)
        return parsed;
    std::ostringstream differences;
    auto header = [&](const char* field, const std::string& want, const std::string& got) {
        if (want != got)
            differences << "\n  " << expected.name << " " << field << ": expected " << want << ", got " << got;
    };
    header("style", Hex(expected.style), Hex(dialog.style));
    header("exstyle", Hex(0), Hex(dialog.exStyle));
    header("position", "0, 0", std::to_string(dialog.x) + ", " + std::to_string(dialog.y));
    header("size", std::to_string(expected.cx) + " x " + std::to_string(expected.cy),
           std::to_string(dialog.cx) + " x " + std::to_string(dialog.cy));
    NameOrOrdinal menu;
    if (expected.menu != 0) {
        menu.isOrdinal = true;
        menu.ordinal = expected.menu;
    }
    header("menu", Describe(menu), Describe(dialog.menu));
    header("class", Describe(NameOrOrdinal()), Describe(dialog.windowClass));
    header("caption", std::string("\"") + expected.caption + "\"", "\"" + dialog.caption + "\"");
    header("font", "8 \"MS Sans Serif\"", std::to_string(dialog.pointSize) + " \"" + dialog.fontName + "\"");
    header("control count", std::to_string(expected.controlCount), std::to_string(dialog.items.size()));

    for (size_t i = 0; i < expected.controlCount && i < dialog.items.size(); ++i) {
        const ExpectedControl& want = expected.controls[i];
        const DialogItem& got = dialog.items[i];
        std::ostringstream where;
        where << expected.name << " control " << (i + 1) << " (id " << want.id;
        if (want.text != ANY_TEXT && *want.text != '\0')
            where << ", \"" << want.text << "\"";
        where << ")";
        auto field = [&](const char* name, const std::string& wantValue, const std::string& gotValue) {
            if (wantValue != gotValue)
                differences << "\n  " << where.str() << " " << name << ": expected " << wantValue << ", got "
                            << gotValue;
        };
        field("style", Hex(WS_CHILD | WS_VISIBLE | want.style), Hex(got.style));
        field("exstyle", Hex(0), Hex(got.exStyle));
        field("rectangle",
              std::to_string(want.x) + ", " + std::to_string(want.y) + ", " + std::to_string(want.cx) + ", " +
                  std::to_string(want.cy),
              std::to_string(got.x) + ", " + std::to_string(got.y) + ", " + std::to_string(got.cx) + ", " +
                  std::to_string(got.cy));
        field("id", std::to_string(want.id), std::to_string(got.id));
        NameOrOrdinal wantClass;
        wantClass.isOrdinal = true;
        wantClass.ordinal = want.windowClass;
        field("class", Describe(wantClass), Describe(got.windowClass));
        if (want.text == ANY_TEXT) {
            if (got.text.isOrdinal || got.text.text.empty())
                field("text", "some text", Describe(got.text));
        } else {
            NameOrOrdinal wantText;
            wantText.text = want.text;
            field("text", Describe(wantText), Describe(got.text));
        }
        field("creation data", "0 bytes", std::to_string(got.creationDataSize) + " bytes");
    }
    std::string found = differences.str();
    if (found.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << found;
}

// ---- Menu -----------------------------------------------------------------

struct MenuLine {
    int depth;
    const char* text;  // nullptr: a separator
    WORD id;           // 0: a pop-up
};

struct ParsedMenuLine {
    int depth;
    WORD options;
    WORD id;
    std::string text;
};

// Walks a standard menu template depth first; MF_END closes the current level.
bool ReadMenuLevel(Reader& in, int depth, std::vector<ParsedMenuLine>& lines)
{
    for (;;) {
        ParsedMenuLine line;
        line.depth = depth;
        line.options = in.Word();
        line.id = (line.options & MF_POPUP) ? 0 : in.Word();
        line.text = in.String();
        if (!in.ok)
            return false;
        lines.push_back(line);
        if ((line.options & MF_POPUP) && !ReadMenuLevel(in, depth + 1, lines))
            return false;
        if (line.options & MF_END)
            return true;
    }
}

std::string Describe(int depth, const std::string& text, bool separator, WORD id)
{
    std::ostringstream out;
    out << std::string(2 * depth, ' ');
    if (separator)
        out << "separator";
    else if (id == 0)
        out << "\"" << text << "\" pop-up";
    else
        out << "\"" << text << "\" " << id;
    return out.str();
}

::testing::AssertionResult MenuMatches(WORD id, const MenuLine* expected, size_t count)
{
    ResourceData raw = LoadRaw(RT_MENU, id);
    if (raw.data == nullptr)
        return ::testing::AssertionFailure() << "menu " << id << " not found in language 1033";
    Reader in(raw);
    WORD version = in.Word();
    WORD headerSize = in.Word();
    if (version != 0 || headerSize != 0)
        return ::testing::AssertionFailure() << "menu header: version " << version << ", offset " << headerSize
                                             << "; expected a standard template (0, 0)";
    std::vector<ParsedMenuLine> lines;
    if (!ReadMenuLevel(in, 0, lines))
        return ::testing::AssertionFailure() << "menu " << id << " ends in the middle of an item";

    std::ostringstream differences;
    if (in.Left() != 0)
        differences << "\n  " << in.Left() << " bytes after the menu bar's last item";
    size_t common = lines.size() < count ? lines.size() : count;
    for (size_t i = 0; i < common; ++i) {
        const ParsedMenuLine& got = lines[i];
        const MenuLine& want = expected[i];
        bool gotSeparator = !(got.options & MF_POPUP) && got.id == 0 && got.text.empty();
        std::string wantText = Describe(want.depth, want.text ? want.text : "", want.text == nullptr, want.id);
        std::string gotText = Describe(got.depth, got.text, gotSeparator, got.id);
        if (wantText != gotText)
            differences << "\n  menu item " << (i + 1) << ": expected [" << wantText << "], got [" << gotText << "]";
        // Only the structural flags: nothing checked, greyed, disabled or broken.
        WORD extra = got.options & ~(MF_POPUP | MF_END | (gotSeparator ? MF_SEPARATOR : 0));
        if (extra != 0)
            differences << "\n  menu item " << (i + 1) << " [" << gotText << "] has option bits " << Hex(extra);
    }
    for (size_t i = common; i < count; ++i)
        differences << "\n  missing menu item " << (i + 1) << ": ["
                    << Describe(expected[i].depth, expected[i].text ? expected[i].text : "", !expected[i].text,
                                expected[i].id)
                    << "]";
    for (size_t i = common; i < lines.size(); ++i)
        differences << "\n  extra menu item " << (i + 1) << ": [" << lines[i].text << "]";
    std::string found = differences.str();
    if (found.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << found;
}

// ---- Resource directory ---------------------------------------------------

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto names = reinterpret_cast<std::vector<std::string>*>(param);
    if (IS_INTRESOURCE(name))
        names->push_back("#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)));
    else
        names->push_back(name);
    return TRUE;
}

std::vector<std::string> NamesOfType(LPCSTR type)
{
    std::vector<std::string> names;
    EnumResourceNamesA(GetModuleHandleA(nullptr), type, CountName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

std::vector<WORD> LanguagesOf(LPCSTR type, WORD id)
{
    std::vector<WORD> languages;
    EnumResourceLanguagesA(GetModuleHandleA(nullptr), type, MAKEINTRESOURCEA(id), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(TemplateDialogs, MainDialogMatchesItsLayoutControlForControl)
{
    EXPECT_TRUE(MatchesTable(MAIN_DIALOG));
}

TEST(TemplateDialogs, AboutDialogMatchesItsLayout)
{
    EXPECT_TRUE(MatchesTable(SMALL_DIALOGS[0]));
}

TEST(TemplateDialogs, SizeStepDialogMatchesItsLayout)
{
    EXPECT_TRUE(MatchesTable(SMALL_DIALOGS[1]));
}

TEST(TemplateDialogs, PositionStepDialogMatchesItsLayout)
{
    EXPECT_TRUE(MatchesTable(SMALL_DIALOGS[2]));
}

TEST(TemplateDialogs, FiltersDialogMatchesItsLayout)
{
    EXPECT_TRUE(MatchesTable(SMALL_DIALOGS[3]));
}

TEST(TemplateDialogs, AutoRefreshDialogMatchesItsLayout)
{
    EXPECT_TRUE(MatchesTable(SMALL_DIALOGS[4]));
}

TEST(TemplateDialogs, BlankTitleCheckBoxLabelQuotesTheWords)
{
    DialogTemplate filters;
    ASSERT_TRUE(ParseDialog(107, filters));
    ASSERT_EQ(filters.items.size(), 5u);
    const std::string& label = filters.items[2].text.text;
    EXPECT_EQ(label.size(), 29u);
    EXPECT_EQ(label, "Show\"Blank Title Bar\" Windows");
}

// Enter and Escape send IDOK and IDCANCEL; with no control of those ids, neither ends
// a dialog on its own.
TEST(TemplateDialogs, NoControlAnswersToEnterOrEscapeIds)
{
    std::vector<const ExpectedDialog*> all = {&MAIN_DIALOG};
    for (const ExpectedDialog& dialog : SMALL_DIALOGS)
        all.push_back(&dialog);
    for (const ExpectedDialog* expected : all) {
        DialogTemplate dialog;
        ASSERT_TRUE(ParseDialog(expected->id, dialog));
        for (size_t i = 0; i < dialog.items.size(); ++i) {
            EXPECT_NE(dialog.items[i].id, IDOK) << expected->name << " control " << (i + 1);
            EXPECT_NE(dialog.items[i].id, IDCANCEL) << expected->name << " control " << (i + 1);
        }
    }
}

TEST(TemplateDialogs, SmallDialogsHaveNoDefaultButton)
{
    for (const ExpectedDialog& expected : SMALL_DIALOGS) {
        DialogTemplate dialog;
        ASSERT_TRUE(ParseDialog(expected.id, dialog));
        for (size_t i = 0; i < dialog.items.size(); ++i) {
            const DialogItem& item = dialog.items[i];
            bool button = item.windowClass.isOrdinal && item.windowClass.ordinal == BUTTON;
            EXPECT_FALSE(button && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                << expected.name << " control " << (i + 1) << " is a default push button";
        }
    }
}

TEST(TemplateMenu, MenuBarHasFileOptionsAndAboutWithTheirCommands)
{
    static const MenuLine menu[] = {
        {0, "&File", 0},
        {1, "Refresh", 40011},
        {1, nullptr, 0},
        {1, "Exit", 40001},
        {0, "&Options", 0},
        {1, "Increment Values", 0},
        {2, "Window Size Increment Value", 40004},
        {2, "Window Position Increment Value", 40005},
        {1, "Auto Refresh", 0},
        {2, "Set Auto Refresh Rate", 40007},
        {1, "Filters", 40009},
        {0, "About", 40010},
    };
    EXPECT_TRUE(MenuMatches(104, menu, sizeof menu / sizeof menu[0]));
}

TEST(TemplateIcon, IconGroupHoldsOneSixteenColourImage)
{
    ResourceData group = LoadRaw(RT_GROUP_ICON, 103);
    ASSERT_NE(group.data, nullptr) << "icon group 103 not found in language 1033";
    Reader in(group);
    EXPECT_EQ(in.Word(), 0) << "reserved";
    EXPECT_EQ(in.Word(), 1) << "type (1: icon)";
    ASSERT_EQ(in.Word(), 1) << "image count";
    EXPECT_EQ(in.Byte(), 32) << "width";
    EXPECT_EQ(in.Byte(), 32) << "height";
    EXPECT_EQ(in.Byte(), 16) << "colour count";
    EXPECT_EQ(in.Byte(), 0) << "reserved";
    EXPECT_EQ(in.Word(), 1) << "planes";
    EXPECT_EQ(in.Word(), 4) << "bits per pixel";
    EXPECT_EQ(in.Dword(), 744u) << "bytes in image";
    EXPECT_EQ(in.Word(), 1) << "image id";
    EXPECT_TRUE(in.ok) << "icon group is shorter than one entry";
    EXPECT_EQ(in.Left(), 0u) << "bytes after the only entry";
}

TEST(TemplateIcon, IconImageIsAThirtyTwoPixelFourBitBitmapWithItsMask)
{
    ResourceData image = LoadRaw(RT_ICON, 1);
    ASSERT_NE(image.data, nullptr) << "icon image 1 not found in language 1033";
    EXPECT_EQ(image.size, 744u);
    ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data, sizeof header);
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64) << "colour rows and mask rows together";
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 4);
}

TEST(TemplateResources, NoStringTableOrAccelerators)
{
    EXPECT_EQ(NamesOfType(RT_STRING), Names{});
    EXPECT_EQ(NamesOfType(RT_ACCELERATOR), Names{});
}

TEST(TemplateResources, EveryResourceIsNumberedAndUsEnglish)
{
    EXPECT_EQ(NamesOfType(RT_DIALOG), (Names{"#101", "#102", "#105", "#106", "#107", "#108"}));
    EXPECT_EQ(NamesOfType(RT_MENU), Names{"#104"});
    EXPECT_EQ(NamesOfType(RT_GROUP_ICON), Names{"#103"});
    EXPECT_EQ(NamesOfType(RT_ICON), Names{"#1"});
    EXPECT_EQ(NamesOfType(RT_VERSION), Names{"#1"});
    static const struct {
        LPCSTR type;
        WORD id;
    } all[] = {
        {RT_DIALOG, 101}, {RT_DIALOG, 102}, {RT_DIALOG, 105}, {RT_DIALOG, 106}, {RT_DIALOG, 107},
        {RT_DIALOG, 108}, {RT_MENU, 104},   {RT_GROUP_ICON, 103}, {RT_ICON, 1}, {RT_VERSION, 1},
    };
    for (const auto& resource : all)
        EXPECT_EQ(LanguagesOf(resource.type, resource.id), std::vector<WORD>{US_ENGLISH})
            << "resource " << resource.id;
}
