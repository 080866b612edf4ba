// The dialog templates as the program's module carries them. Each template is read back from the
// resource section and parsed by hand, so a wrong style bit, position or byte of text shows here
// and not as a misdrawn screen. Texts are compared in code page 932 after the same conversion the
// ANSI dialog calls make, against literals that the compiler turns into code page 932 itself.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

constexpr UINT codePage = 932;
constexpr DWORD frameStyle = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr char captionSetup[] = "Velkorinセットアップ";
constexpr char dialogFont[] = "ＭＳ Ｐゴシック";
constexpr WORD dialogPointSize = 9;

// Predefined window classes as the dialog template names them by atom.
constexpr WORD atomButton = 0x80;
constexpr WORD atomEdit = 0x81;
constexpr WORD atomStatic = 0x82;
constexpr WORD atomComboBox = 0x85;

constexpr DWORD childBits = WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP;
constexpr DWORD childShown = WS_CHILD | WS_VISIBLE;

// A kind of control: its class and the style bits that make it what the player sees. Bits outside
// the mask (WS_GROUP, the alignment of a button's text) are left to the resource compiler.
struct Kind {
    const char* name;
    WORD atom;              // 0 when the class is named
    const char* className;  // for a named class; matched without regard to case, as windows are
    DWORD mask;
    DWORD bits;
};

constexpr DWORD staticBits = childBits | SS_TYPEMASK | SS_SUNKEN;
constexpr DWORD buttonBits = childBits | BS_TYPEMASK;
constexpr DWORD editBits = childBits | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY | ES_MULTILINE;
constexpr DWORD comboBits = childBits | 0x3 | CBS_SORT | CBS_UPPERCASE | CBS_NOINTEGRALHEIGHT | WS_VSCROLL;

const Kind pushButton = {"push button", atomButton, nullptr, buttonBits, childShown | WS_TABSTOP | BS_PUSHBUTTON};
const Kind defaultButton = {"default push button", atomButton, nullptr, buttonBits,
                            childShown | WS_TABSTOP | BS_DEFPUSHBUTTON};
const Kind radioButton = {"automatic radio button", atomButton, nullptr, buttonBits,
                          childShown | WS_TABSTOP | BS_AUTORADIOBUTTON};
const Kind groupBox = {"group box", atomButton, nullptr, buttonBits, childShown | BS_GROUPBOX};
const Kind label = {"static", atomStatic, nullptr, staticBits, childShown | SS_LEFT};
const Kind sunkenLabel = {"sunken static", atomStatic, nullptr, staticBits, childShown | SS_LEFT | SS_SUNKEN};
const Kind noWrapLabel = {"static without word wrap", atomStatic, nullptr, staticBits,
                          childShown | SS_LEFTNOWORDWRAP};
const Kind sunkenNoWrapLabel = {"sunken static without word wrap", atomStatic, nullptr, staticBits,
                                childShown | SS_LEFTNOWORDWRAP | SS_SUNKEN};
// Read-only fields keep their tab stop so that a long path can be scrolled from the keyboard.
const Kind field = {"edit", atomEdit, nullptr, editBits, childShown | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL};
const Kind readOnlyField = {"read-only edit", atomEdit, nullptr, editBits,
                            childShown | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY};
const Kind driveList = {"drop-down list", atomComboBox, nullptr, comboBits,
                        childShown | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT | CBS_UPPERCASE |
                            CBS_NOINTEGRALHEIGHT | WS_VSCROLL};
const Kind progressBar = {"progress bar", 0, "msctls_progress32", childBits, childShown};

struct ExpectedControl {
    int id;
    const Kind* kind;
    short x, y, cx, cy;
    std::string text;
};

struct ExpectedDialog {
    int id;
    bool extended;
    short cx, cy;
    const char* caption;
    std::vector<ExpectedControl> controls;
};

// What the resource holds, strings still in UTF-16.
struct ParsedControl {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    WORD classAtom = 0;
    std::wstring className;
    std::wstring text;
    bool textIsOrdinal = false;
};

struct ParsedDialog {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    bool hasMenu = false, hasClass = false;
    std::wstring caption;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring face;
    std::vector<ParsedControl> controls;
};

// Walks a template with bounds checks; after an overrun every read gives 0 and ok stays false.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }

    WORD word() { return static_cast<WORD>(take(2)); }
    DWORD dword() { return take(4); }
    BYTE byte() { return static_cast<BYTE>(take(1)); }
    short coord() { return static_cast<short>(word()); }

    // Items start on a DWORD boundary of the template, whose data the loader keeps DWORD-aligned.
    void alignToDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }

    std::wstring string()
    {
        std::wstring s;
        for (WORD c = word(); ok_ && c != 0; c = word())
            s += static_cast<wchar_t>(c);
        return s;
    }

    // A string or, after 0xFFFF, an ordinal (an atom or resource number).
    void stringOrOrdinal(std::wstring* text, WORD* ordinal, bool* isOrdinal)
    {
        *ordinal = 0;
        *isOrdinal = false;
        text->clear();
        WORD first = word();
        if (first == 0xFFFF) {
            *ordinal = word();
            *isOrdinal = true;
            return;
        }
        for (WORD c = first; ok_ && c != 0; c = word())
            *text += static_cast<wchar_t>(c);
    }

private:
    DWORD take(size_t n)
    {
        if (!ok_ || pos_ + n > size_) {
            ok_ = false;
            return 0;
        }
        DWORD v = 0;
        for (size_t i = 0; i < n; ++i)
            v |= static_cast<DWORD>(data_[pos_ + i]) << (8 * i);
        pos_ += n;
        return v;
    }

    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

bool parseTemplate(const BYTE* data, size_t size, ParsedDialog* d)
{
    TemplateReader r(data, size);
    WORD items;
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
        d->extended = true;
        r.dword();  // version and signature
        r.dword();  // help id
        d->exStyle = r.dword();
        d->style = r.dword();
    } else {
        d->style = r.dword();
        d->exStyle = r.dword();
    }
    items = r.word();
    d->x = r.coord();
    d->y = r.coord();
    d->cx = r.coord();
    d->cy = r.coord();
    std::wstring text;
    WORD ordinal;
    bool isOrdinal;
    r.stringOrOrdinal(&text, &ordinal, &isOrdinal);
    d->hasMenu = isOrdinal || !text.empty();
    r.stringOrOrdinal(&text, &ordinal, &isOrdinal);
    d->hasClass = isOrdinal || !text.empty();
    d->caption = r.string();
    if (d->style & DS_SETFONT) {
        d->pointSize = r.word();
        if (d->extended) {
            d->weight = r.word();
            d->italic = r.byte();
            d->charset = r.byte();
        }
        d->face = r.string();
    }
    for (WORD i = 0; i < items && r.ok(); ++i) {
        ParsedControl c;
        r.alignToDword();
        if (d->extended) {
            r.dword();  // help id
            c.exStyle = r.dword();
            c.style = r.dword();
        } else {
            c.style = r.dword();
            c.exStyle = r.dword();
        }
        c.x = r.coord();
        c.y = r.coord();
        c.cx = r.coord();
        c.cy = r.coord();
        c.id = d->extended ? static_cast<int>(r.dword()) : static_cast<short>(r.word());
        bool classIsAtom;
        r.stringOrOrdinal(&c.className, &c.classAtom, &classIsAtom);
        WORD textOrdinal;
        r.stringOrOrdinal(&c.text, &textOrdinal, &c.textIsOrdinal);
        WORD extra = r.word();
        for (WORD k = 0; k < extra; ++k)
            r.byte();
        d->controls.push_back(c);
    }
    return r.ok() && d->controls.size() == items;
}

// UTF-16 to code page 932 as the ANSI calls convert it. A character without a code page 932 form
// would come out as the default character: that sets *lossy.
std::string toAnsi(const std::wstring& w, bool* lossy)
{
    *lossy = false;
    if (w.empty())
        return std::string();
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), nullptr,
                                0, nullptr, &usedDefault);
    std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), &s[0], n,
                            nullptr, &usedDefault);
    *lossy = usedDefault != FALSE;
    return s;
}

std::string asciiLower(const std::wstring& w)
{
    std::string s;
    for (wchar_t c : w)
        s += (c >= L'A' && c <= L'Z') ? static_cast<char>(c - L'A' + 'a') : static_cast<char>(c);
    return s;
}

const BYTE* findResourceData(int id, LPCSTR type, DWORD* size)
{
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), type);
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(self, found);
    *size = SizeofResource(self, found);
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

void expectTemplate(const ExpectedDialog& want)
{
    SCOPED_TRACE("dialog " + std::to_string(want.id));
    DWORD size = 0;
    const BYTE* data = findResourceData(want.id, RT_DIALOG, &size);
    ASSERT_NE(data, nullptr) << "no template " << want.id;
    ParsedDialog got;
    ASSERT_TRUE(parseTemplate(data, size, &got)) << "template " << want.id << " is cut short";

    bool lossy;
    EXPECT_EQ(got.extended, want.extended);
    EXPECT_EQ(got.style, frameStyle) << std::hex << "style 0x" << got.style;
    EXPECT_EQ(got.exStyle, 0u);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_FALSE(got.hasMenu);
    EXPECT_FALSE(got.hasClass);
    EXPECT_EQ(toAnsi(got.caption, &lossy), want.caption);
    EXPECT_FALSE(lossy) << "caption";
    EXPECT_EQ(got.pointSize, dialogPointSize);
    EXPECT_EQ(toAnsi(got.face, &lossy), dialogFont);
    if (got.extended) {
        // What the dialog manager assumes for a plain template, so both kinds draw the same font.
        EXPECT_EQ(got.weight, 0);
        EXPECT_EQ(got.italic, 0);
        EXPECT_EQ(got.charset, DEFAULT_CHARSET);
    }

    ASSERT_EQ(got.controls.size(), want.controls.size());
    for (size_t i = 0; i < want.controls.size(); ++i) {
        const ExpectedControl& w = want.controls[i];
        const ParsedControl& g = got.controls[i];
        std::string where = "dialog " + std::to_string(want.id) + ", control " + std::to_string(i) + " (id " +
                            std::to_string(w.id) + ", " + w.kind->name + ")";
        EXPECT_EQ(g.id, w.id) << where;
        if (w.kind->atom) {
            EXPECT_EQ(g.classAtom, w.kind->atom) << where;
        } else {
            EXPECT_EQ(g.classAtom, 0) << where;
            EXPECT_EQ(asciiLower(g.className), w.kind->className) << where;
        }
        EXPECT_EQ(g.style & w.kind->mask, w.kind->bits) << where << std::hex << ": style 0x" << g.style;
        EXPECT_EQ(g.exStyle, 0u) << where;
        EXPECT_EQ(g.x, w.x) << where;
        EXPECT_EQ(g.y, w.y) << where;
        EXPECT_EQ(g.cx, w.cx) << where;
        EXPECT_EQ(g.cy, w.cy) << where;
        EXPECT_FALSE(g.textIsOrdinal) << where;
        EXPECT_EQ(toAnsi(g.text, &lossy), w.text) << where;
        EXPECT_FALSE(lossy) << where << ": a character has no code page 932 form";
    }
}

const ExpectedDialog menuNotInstalled = {IDD_MENU_NEW, false, 149, 79, captionSetup, {
    {IDC_MENU_INSTALL, &pushButton, 5, 5, 137, 30, "インストール(&I)"},
    {IDC_MENU_BONUS_VOICES, &pushButton, 5, 40, 137, 16, "おまけ音声のインストール(&O)"},
    {IDC_MENU_EXIT, &pushButton, 5, 60, 137, 16, "終了(&E)"},
}};

const ExpectedDialog menuInstalled = {IDD_MENU_INSTALLED, false, 149, 119, captionSetup, {
    {IDC_MENU_START_GAME, &pushButton, 5, 5, 137, 28, "ゲームの起動(&S)"},
    {IDC_MENU_INSTALL, &pushButton, 5, 40, 137, 16, "再インストール(&I)"},
    {IDC_MENU_UNINSTALL, &pushButton, 5, 60, 137, 16, "アンインストール（削除）(&U)"},
    {IDC_MENU_BONUS_VOICES, &pushButton, 5, 80, 137, 16, "おまけ音声のインストール(&O)"},
    {IDC_MENU_EXIT, &pushButton, 5, 100, 137, 16, "終了(&E)"},
}};

const ExpectedDialog installDialog = {IDD_INSTALL, true, 243, 139, captionSetup, {
    {IDC_PROGRESS_START, &pushButton, 150, 117, 40, 15, "開始(&Y)"},
    {IDC_PROGRESS_CANCEL, &pushButton, 196, 117, 40, 15, "中止(&N)"},
    {IDC_INSTALL_DRIVE_LIST, &driveList, 108, 7, 27, 113, ""},
    {IDC_INSTALL_FOLDER_NAME, &field, 108, 27, 90, 12, ""},
    {IDC_INSTALL_BROWSE, &pushButton, 203, 25, 33, 14, "参照(&S)"},
    {-1, &label, 7, 7, 80, 8, "インストール可能ドライブ"},
    {-1, &label, 7, 29, 91, 8, "ゲームフォルダ名"},
    {-1, &label, 7, 47, 91, 8, "インストール先フォルダ名"},
    {-1, &label, 7, 64, 78, 8, "ハードディスク空き容量"},
    {-1, &label, 7, 78, 95, 8, "必要ハードディスク空き容量"},
    {IDC_PROGRESS_BAR, &progressBar, 7, 93, 201, 14, ""},
    {IDC_PROGRESS_FREE_SPACE, &label, 110, 65, 103, 8, ""},
    {IDC_PROGRESS_REQUIRED, &label, 110, 78, 103, 8, ""},
    {IDC_PROGRESS_PERCENT, &noWrapLabel, 214, 96, 22, 8, ""},
    {IDC_PROGRESS_DESTINATION, &readOnlyField, 108, 45, 128, 14, ""},
    {-1, &label, 16, 124, 121, 8, "警告\u3000CD-ROMは抜かないで下さい。"},
}};

const ExpectedDialog upgradeDialog = {IDD_UPGRADE, true, 243, 101, captionSetup, {
    {IDC_PROGRESS_START, &pushButton, 150, 79, 40, 15, "開始(&Y)"},
    {IDC_PROGRESS_CANCEL, &pushButton, 196, 79, 40, 15, "中止(&N)"},
    {-1, &label, 7, 9, 91, 8, "インストール先フォルダ名"},
    {-1, &label, 7, 26, 78, 8, "ハードディスク空き容量"},
    {-1, &label, 7, 40, 95, 8, "必要ハードディスク空き容量"},
    {IDC_PROGRESS_BAR, &progressBar, 7, 55, 201, 14, ""},
    {IDC_PROGRESS_FREE_SPACE, &label, 110, 27, 103, 8, ""},
    {IDC_PROGRESS_REQUIRED, &label, 110, 40, 103, 8, ""},
    {IDC_PROGRESS_PERCENT, &noWrapLabel, 214, 58, 22, 8, ""},
    {IDC_PROGRESS_DESTINATION, &readOnlyField, 108, 7, 128, 14, ""},
    {-1, &label, 21, 86, 121, 8, "警告\u3000CD-ROMは抜かないで下さい。"},
}};

const ExpectedDialog levelChoice = {IDD_LEVEL_CHOICE, false, 283, 180, captionSetup, {
    {IDC_LEVEL_MINIMUM, &pushButton, 7, 25, 70, 22, "最小インストール(&S)"},
    {IDC_LEVEL_STANDARD, &pushButton, 7, 78, 70, 22, "標準インストール(&M)"},
    {IDC_LEVEL_FULL, &pushButton, 7, 133, 70, 22, "フルインストール(&L)"},
    {-1, &sunkenNoWrapLabel, 86, 13, 190, 44,
     "実行ファイルのみをインストールします。\n"
     "ハードディスクの容量はほとんど必要ありませんが、データは\n"
     "全てＣＤ－ＲＯＭから読まれますので、ゲームの起動には\n"
     "ＣＤ－ＲＯＭが必要となります。"},
    {-1, &sunkenNoWrapLabel, 86, 68, 190, 44,
     "音声ファイル以外のデータをインストールします。\n"
     "画像をハードディスクから読み込みますので、ゲームが快適\n"
     "になります。\n"
     "音声を鳴らさないのであればＣＤーROMは必要ありませんが\n"
     "音声を鳴らす場合は必要となります。"},
    {-1, &sunkenNoWrapLabel, 86, 123, 190, 44,
     "全てのデータをインストールします。\n"
     "ゲームの起動にＣＤ－ＲＯＭは必要ありませんが、インストール\n"
     "に時間がかかります。"},
}};

const ExpectedDialog upgradeFromMinimum = {IDD_UPGRADE_FROM_MINIMUM, false, 283, 187, captionSetup, {
    {IDC_LEVEL_STANDARD, &pushButton, 13, 84, 70, 22, "標準インストール(&M)"},
    {IDC_LEVEL_FULL, &pushButton, 13, 137, 70, 22, "フルインストール(&L)"},
    {-1, &noWrapLabel, 51, 21, 190, 33,
     "に最小インストールされています。\n"
     "同名のフォルダにインストールします。\n"
     "他のドライブまたはフォルダにインストールしたい場合は\n"
     "アンインストールした後、インストールを選択して下さい。"},
    {-1, &sunkenNoWrapLabel, 86, 73, 181, 44,
     "音声ファイル以外のデータをインストールします。\n"
     "画像をハードディスクから読み込みますので、ゲームが快\n"
     "適になります。\n"
     "音声を鳴らさないのであればＣＤーROMは必要ありません\n"
     "が音声を鳴らす場合は必要となります。"},
    {-1, &sunkenNoWrapLabel, 86, 128, 181, 44,
     "全てのデータをインストールします。\n"
     "ゲームの起動にこのＣＤ－ＲＯＭは必要ありませんが、イ\n"
     "ンストールに時間がかかります。"},
    {IDC_UPGRADE_INSTALLED_FOLDER, &readOnlyField, 50, 7, 181, 14, ""},
    {-1, &groupBox, 7, 60, 269, 120, "可能なインストール方法"},
}};

const ExpectedDialog upgradeFromStandard = {IDD_UPGRADE_FROM_STANDARD, false, 283, 135, captionSetup, {
    {IDC_LEVEL_FULL, &pushButton, 15, 87, 70, 22, "フルインストール(&L)"},
    {-1, &noWrapLabel, 51, 21, 190, 35,
     "に標準インストールされています。\n"
     "同名のフォルダにインストールします。\n"
     "他のドライブまたはフォルダにインストールしたい場合は\n"
     "アンインストールした後、インストールを選択して下さい。"},
    {-1, &sunkenNoWrapLabel, 90, 76, 180, 44,
     "全てのデータをインストールします。\n"
     "ゲームの起動にこのＣＤ－ＲＯＭは必要ありませんが、イ\n"
     "ンストールに時間がかかります。"},
    {IDC_UPGRADE_INSTALLED_FOLDER, &readOnlyField, 50, 7, 181, 14, ""},
    {-1, &groupBox, 7, 62, 269, 66, "可能なインストール方法"},
}};

const ExpectedDialog upgradeFromFull = {IDD_UPGRADE_FROM_FULL, false, 212, 85, captionSetup, {
    {-1, &noWrapLabel, 15, 21, 184, 37,
     "にフルインストールされています。\n"
     "再インストールは出来ません。\n"
     "他のドライブまたはフォルダーにインストールしたい場合は\n"
     "アンインストールした後、インストールを選択して下さい。"},
    {IDC_UPGRADE_INSTALLED_FOLDER, &readOnlyField, 14, 7, 181, 14, ""},
    {IDC_UPGRADE_BACK, &pushButton, 80, 63, 50, 14, "戻る(&E)"},
}};

const ExpectedDialog uninstallDialog = {IDD_UNINSTALL, false, 199, 74, captionSetup, {
    {IDC_UNINSTALL_START, &pushButton, 83, 52, 50, 14, "開始(&Y)"},
    {IDC_UNINSTALL_CANCEL, &pushButton, 142, 52, 50, 14, "中止(&N)"},
    {IDC_UNINSTALL_DELETE_ALL, &radioButton, 14, 14, 169, 10, "(&A)全てのデータを消去する。"},
    {IDC_UNINSTALL_KEEP_SAVES, &radioButton, 14, 32, 171, 10, "(&S)セーブデータを残して消去する。"},
}};

const ExpectedDialog shortcutOffer = {IDD_SHORTCUT, false, 185, 194, captionSetup, {
    {IDC_SHORTCUT_YES, &pushButton, 73, 172, 50, 14, "はい(&Y)"},
    {IDC_SHORTCUT_NO, &pushButton, 128, 172, 50, 14, "いいえ(&N)"},
    {-1, &label, 43, 7, 106, 20, "ファイルのコピーが完了しました。\nショートカットを作成しますか？"},
    {-1, &label, 11, 31, 50, 8, "作成した場合"},
    {-1, &sunkenLabel, 7, 44, 171, 52,
     "  [ スタート→プログラム→Orbek→Velkorin ]\n"
     "の中に登録されますので、このCD-ROMが挿入されていれば自動的にゲームが起動します。\n"
     "そうでなければ、メッセージが表示されます。 \n"
     "（フルインストールされた場合、CD-ROMは必要ありません）" + std::string(16, ' ')},
    {-1, &label, 11, 102, 75, 8, "作成しなかった場合"},
    {-1, &sunkenLabel, 7, 115, 171, 52,
     "インストールされたフォルダ内の Ｖｅｌｋｏｒｉｎ．ｅｘｅ を実行してください。\n"
     "あとは上記と同じように、このCD-ROMが挿入されていれば自動的にゲームが起動します。\n"
     "そうでなければ、メッセージが表示されます。"},
}};

const ExpectedDialog folderBrowser = {IDD_FOLDER_BROWSER, false, 188, 91, captionSetup, {
    {IDOK, &defaultButton, 151, 51, 30, 14, "OK"},
    {IDCANCEL, &pushButton, 151, 70, 30, 14, "ｷｬﾝｾﾙ"},
}};

const ExpectedDialog plusWarning = {IDD_PLUS_WARNING, false, 185, 106, "警告！！", {
    {IDC_PLUS_OK, &pushButton, 73, 84, 50, 14, "OK"},
    {-1, &label, 19, 7, 149, 13, "Microsoft Plus! がインストールされています。"},
    {-1, &sunkenLabel, 7, 27, 171, 50,
     "「ウィンドウの内容を表示したままドラッグする」\n"
     "の機能を使用されていますとゲームの正常動作を保証できません。\n"
     "この機能を解除してからゲームを起動して下さい。\n"
     "解除方法が分からない方は、Microsoft Plus! のマニュアルを参照して下さい。"},
}};

const ExpectedDialog codecNotice = {IDD_CODEC_NOTICE, false, 175, 139, captionSetup, {
    {IDOK, &defaultButton, 60, 115, 50, 14, "OK"},
    {-1, &label, 10, 5, 150, 100,
     "現在の環境では、音声が再生できません。\n"
     "\n"
     "「ｺﾝﾄﾛｰﾙ ﾊﾟﾈﾙ」\n"
     "\u3000\u3000\u3000\u3000▽\n"
     "「ｱﾌﾟﾘｹｰｼｮﾝの追加と削除」\n"
     "\u3000\u3000\u3000\u3000▽\n"
     "「Windows ﾌｧｲﾙ」\n"
     "\u3000\u3000\u3000\u3000▽\n"
     "「ﾏﾙﾁﾒﾃﾞｨｱ」\n"
     "\u3000\u3000\u3000\u3000▽\n"
     "「ｵｰﾃﾞｨｵ圧縮」にチェックをつけてドライバを追加して下さい。"},
}};

const ExpectedDialog* const allDialogs[] = {
    &menuNotInstalled, &menuInstalled, &installDialog, &levelChoice, &uninstallDialog,
    &shortcutOffer, &folderBrowser, &upgradeFromMinimum, &upgradeFromStandard, &upgradeFromFull,
    &upgradeDialog, &plusWarning, &codecNotice,
};

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

}  // namespace

TEST(MenuTemplates, NotInstalledMenuOffersInstallBonusVoicesAndExit) { expectTemplate(menuNotInstalled); }
TEST(MenuTemplates, InstalledMenuOffersGameReinstallUninstallBonusVoicesAndExit) { expectTemplate(menuInstalled); }

TEST(ProgressTemplates, InstallDialogIsExtendedWithDriveListFolderFieldsAndProgress)
{
    expectTemplate(installDialog);
}
TEST(ProgressTemplates, UpgradeDialogIsExtendedAndSharesTheProgressIds) { expectTemplate(upgradeDialog); }

TEST(LevelChoiceTemplates, FreshInstallOffersThreeLevelsWithSunkenExplanations) { expectTemplate(levelChoice); }
TEST(LevelChoiceTemplates, OverMinimumOffersStandardAndFull) { expectTemplate(upgradeFromMinimum); }
TEST(LevelChoiceTemplates, OverStandardOffersFull) { expectTemplate(upgradeFromStandard); }
TEST(LevelChoiceTemplates, OverFullOnlyExplainsAndGoesBack) { expectTemplate(upgradeFromFull); }

TEST(QuestionTemplates, UninstallChoosesBetweenTwoRadioButtons) { expectTemplate(uninstallDialog); }
TEST(QuestionTemplates, ShortcutOfferKeepsItsTrailingBlanks) { expectTemplate(shortcutOffer); }
TEST(QuestionTemplates, FolderBrowserHoldsOnlyOkAndCancel) { expectTemplate(folderBrowser); }

TEST(NoticeTemplates, PlusWarningHasItsOwnCaption) { expectTemplate(plusWarning); }
TEST(NoticeTemplates, CodecNoticeLinesKeepIdeographicSpaces) { expectTemplate(codecNotice); }

// The same texts as the running program reads them: through the dialog manager and the ANSI calls,
// in the process's code page. A second copy of the setup finds the first by this caption.
TEST(DialogManager, EveryTemplateOpensWithItsTextsInCodePage932)
{
    ASSERT_EQ(GetACP(), codePage) << "the program's texts need the Japanese code page";
    InitCommonControls();
    for (const ExpectedDialog* want : allDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(want->id));
        SetLastError(0xdeadbeef);
        HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(want->id), nullptr, quietDialogProc, 0);
        ASSERT_NE(dlg, nullptr) << "error " << GetLastError();
        char text[512];
        GetWindowTextA(dlg, text, sizeof text);
        EXPECT_STREQ(text, want->caption);
        // The dialog manager creates the controls in template order, each below the ones before.
        HWND child = GetWindow(dlg, GW_CHILD);
        for (size_t i = 0; i < want->controls.size(); ++i) {
            const ExpectedControl& w = want->controls[i];
            std::string where = "dialog " + std::to_string(want->id) + ", control " + std::to_string(i);
            ASSERT_NE(child, nullptr) << where << " was not created";
            EXPECT_EQ(static_cast<int>(static_cast<short>(GetDlgCtrlID(child))), w.id) << where;
            // Combo boxes and edits report what they hold, which is nothing at first.
            GetWindowTextA(child, text, sizeof text);
            EXPECT_EQ(std::string(text), w.text) << where;
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "more controls than the template lists";
        EXPECT_TRUE(DestroyWindow(dlg));
    }
}

TEST(ProgramResources, ManifestRunsAsInvokerDpiAwareWithClassicControls)
{
    DWORD size = 0;
    const BYTE* data = findResourceData(1, RT_MANIFEST, &size);
    ASSERT_NE(data, nullptr);
    std::string manifest(reinterpret_cast<const char*>(data), size);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos);
    // Only Windows reads it: Wine gives every program the real dpi.
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
              std::string::npos);
    // Windows 10 and 11; Vista to 8.1 are listed beside it.
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
    EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

TEST(ProgramResources, IconHoldsLargeAndSmallImages)
{
    DWORD size = 0;
    const BYTE* data = findResourceData(IDI_SETUP, RT_GROUP_ICON, &size);
    ASSERT_NE(data, nullptr);
    ASSERT_GE(size, 6u + 2 * 14u);
    WORD count;
    std::memcpy(&count, data + 4, sizeof count);
    ASSERT_EQ(count, 2);
    // Each entry of the group is 14 bytes and starts with the width.
    EXPECT_EQ(data[6], 32);
    EXPECT_EQ(data[6 + 14], 16);
    HICON largeIcon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON, 32, 32, 0));
    HICON smallIcon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(largeIcon, nullptr);
    EXPECT_NE(smallIcon, nullptr);
    if (largeIcon)
        DestroyIcon(largeIcon);
    if (smallIcon)
        DestroyIcon(smallIcon);
}
