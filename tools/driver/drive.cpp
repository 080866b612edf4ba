// drive: the driver library for shell scripts. One action per run; window handles are printed
// and taken as numbers (Wine's handles are valid across processes).
//
// Texts on the command line arrive in code page 932 (Wine converts them from the UTF-8 locale).
// What is printed goes out as UTF-8 to a pipe or file (CP932 with --raw), and as Unicode to a
// console. Exit status: 0 done, 1 failed or timed out (reason on stderr), 2 usage.
#include "driver/driver.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

bool rawOutput = false;

// Texts of the target are code page 932; messages built by the driver (quote, describe...)
// are UTF-8.
enum class Encoding { cp932, utf8 };

void writeOut(HANDLE h, const std::string& text, Encoding enc)
{
    DWORD mode = 0;
    DWORD done = 0;
    if (GetConsoleMode(h, &mode)) {
        UINT cp = enc == Encoding::utf8 ? CP_UTF8 : 932;
        int n = MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring w(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
        WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &done, nullptr);
        return;
    }
    std::string bytes = text;
    if (rawOutput && enc == Encoding::utf8)
        bytes = driver::fromUtf8(text);
    else if (!rawOutput && enc == Encoding::cp932)
        bytes = driver::toUtf8(text);
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
}

void out(const std::string& line) { writeOut(GetStdHandle(STD_OUTPUT_HANDLE), line + "\n", Encoding::cp932); }
void outUtf8(const std::string& text) { writeOut(GetStdHandle(STD_OUTPUT_HANDLE), text, Encoding::utf8); }
void err(const std::string& line)
{
    writeOut(GetStdHandle(STD_ERROR_HANDLE), "drive: " + line + "\n", Encoding::utf8);
}

std::string hwndText(HWND w)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%lx", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(w)));
    return buf;
}

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::string option(const std::string& name, const std::string& fallback = "") const
    {
        auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
    DWORD timeout() const
    {
        return static_cast<DWORD>(std::strtoul(option("timeout", "10000").c_str(), nullptr, 0));
    }
};

// Options that take no value.
bool isFlag(const std::string& name) { return name == "raw" || name == "replace" || name == "escapes"; }

bool parseNumber(const std::string& s, unsigned long* value)
{
    if (s.empty())
        return false;
    char* end = nullptr;
    *value = std::strtoul(s.c_str(), &end, 0);
    return *end == '\0';
}

bool parseHwnd(const std::string& s, HWND* w)
{
    unsigned long v = 0;
    if (!parseNumber(s, &v))
        return false;
    *w = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(v));
    return true;
}

std::vector<int> parseIds(const std::string& s)
{
    std::vector<int> ids;
    size_t start = 0;
    while (start < s.size()) {
        size_t comma = s.find(',', start);
        std::string part = s.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!part.empty())
            ids.push_back(static_cast<int>(std::strtol(part.c_str(), nullptr, 0)));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return ids;
}

// Replaces the escapes \n, \b and \\ of a shell argument, so that multi-line texts can be given.
std::string unescape(const std::string& s)
{
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        // A lead byte's trail may be 0x5C: copy double-byte characters whole.
        if (IsDBCSLeadByteEx(932, c) && i + 1 < s.size()) {
            r += s[i];
            r += s[++i];
        } else if (c == '\\' && i + 1 < s.size() && std::strchr("nb\\", s[i + 1])) {
            r += s[i + 1] == 'n' ? '\n' : s[i + 1] == 'b' ? '\b' : '\\';
            ++i;
        } else {
            r += s[i];
        }
    }
    return r;
}

void usage()
{
    err("usage: drive COMMAND ARGS [--timeout MS] [--raw]\n"
        "  wait-dialog TITLE|* [--ids 1029,1016] [--not-ids 1018] [--pid N] [--owner HWND]\n"
        "                                   waits until it is visible; prints the dialog\n"
        "  find-dialog TITLE|* [--ids ...] [--pid N] [--owner HWND]         no waiting\n"
        "  list [PID]                       top-level windows (all processes without PID)\n"
        "  click HWND ID | press HWND ID   (waits until the button can be clicked) | close HWND\n"
        "  text HWND ID | caption HWND | state HWND [ID]\n"
        "  type HWND ID TEXT | type-chars HWND ID TEXT [--replace] [--escapes: \\b backspace, \\n, \\\\]\n"
        "  select HWND ID INDEX | combo HWND ID | check HWND ID | progress HWND ID\n"
        "  tree HWND | tree-select HWND TEXT...\n"
        "  wait-message OWNER | wait-process-message PID   prints box, caption, text\n"
        "  answer BOX ID | expect-message OWNER CAPTION TEXT ID (\\n in TEXT is a line break)\n"
        "  shot FILE.bmp [HWND] [--progress ID --at-least N]   (once the bar of HWND reached N)\n"
        "  wait-gone HWND | wait-hidden HWND\n"
        "  start PROGRAM [--cwd DIR] [--args CMDLINE]     prints the process id\n"
        "  wait-exit PID | kill PID (and what it started) | kill-named EXE... (prints how many)\n"
        "  remount LETTER                   Wine: read the drive's folder and label afresh\n"
        "  define LETTER UNIX-FOLDER [UNIX-DEVICE]   Wine: the drive on that folder (and device)\n"
        "  wait-file PATH | wait-line PATH LINE | label ROOT [--expect LABEL]");
}

HWND dialogArg(const Args& a, size_t i)
{
    HWND w = nullptr;
    if (i >= a.positional.size() || !parseHwnd(a.positional[i], &w))
        return nullptr;
    return w;
}

int idArg(const Args& a, size_t i)
{
    return i < a.positional.size() ? static_cast<int>(std::strtol(a.positional[i].c_str(), nullptr, 0)) : 0;
}

driver::DialogQuery queryFrom(const Args& a)
{
    driver::DialogQuery q;
    const std::string& title = a.positional[1];
    if (title != "*") {
        q.title = title;
        q.anyTitle = false;
    }
    q.ids = parseIds(a.option("ids"));
    q.absentIds = parseIds(a.option("not-ids"));
    q.processId = static_cast<DWORD>(std::strtoul(a.option("pid", "0").c_str(), nullptr, 0));
    if (a.has("owner"))
        parseHwnd(a.option("owner"), &q.owner);
    return q;
}

int fail(const std::string& why)
{
    err(why);
    return 1;
}

int run(const Args& a)
{
    const std::vector<std::string>& p = a.positional;
    const std::string& cmd = p[0];
    auto need = [&](size_t n) { return p.size() >= n + 1; };

    if ((cmd == "wait-dialog" || cmd == "find-dialog") && need(1)) {
        driver::DialogQuery q = queryFrom(a);
        HWND w = cmd == "wait-dialog" ? driver::waitDialog(q, a.timeout()) : driver::findDialog(q);
        if (!w)
            return fail("no visible dialog " + driver::quote(q.title) + " with ids " + a.option("ids") +
                        "; windows:\n" + driver::describeWindows(q.processId));
        out(hwndText(w));
        return 0;
    }
    if (cmd == "list") {
        DWORD pid = need(1) ? static_cast<DWORD>(std::strtoul(p[1].c_str(), nullptr, 0)) : 0;
        outUtf8(driver::describeWindows(pid));
        return 0;
    }
    // A button that is not clickable yet (its dialog still disabled by a closing box) is waited for.
    if ((cmd == "click" || cmd == "press") && need(2)) {
        HWND w = dialogArg(a, 1);
        int id = idArg(a, 2);
        auto act = [&] { return cmd == "click" ? driver::click(w, id) : driver::press(w, id); };
        if (!driver::waitUntil(act, a.timeout()))
            return fail("cannot " + cmd + " " + p[2] + ": " + driver::describeWindow(w));
        return 0;
    }
    if (cmd == "close" && need(1))
        return driver::postClose(dialogArg(a, 1)) ? 0 : fail("cannot post WM_CLOSE to " + p[1]);
    if (cmd == "text" && need(2)) {
        HWND w = dialogArg(a, 1);
        if (!driver::hasControl(w, idArg(a, 2)))
            return fail("no control " + p[2] + " in " + driver::describeWindow(w));
        out(driver::controlText(w, idArg(a, 2)));
        return 0;
    }
    if (cmd == "caption" && need(1)) {
        HWND w = dialogArg(a, 1);
        if (!IsWindow(w))
            return fail("no window " + p[1]);
        out(driver::caption(w));
        return 0;
    }
    if (cmd == "state" && need(1)) {
        HWND w = dialogArg(a, 1);
        if (need(2))
            w = GetDlgItem(w, idArg(a, 2));
        if (!IsWindow(w))
            return fail("no such window or control");
        out(std::string(driver::isVisible(w) ? "visible" : "hidden") +
            (driver::isEnabled(w) ? " enabled" : " disabled") + (driver::isTopMost(w) ? " topmost" : ""));
        return 0;
    }
    if (cmd == "type" && need(3))
        return driver::setEditText(dialogArg(a, 1), idArg(a, 2), p[3]) ? 0 : fail("cannot set the text of " + p[2]);
    if (cmd == "type-chars" && need(3))
        return driver::typeChars(dialogArg(a, 1), idArg(a, 2), a.has("escapes") ? unescape(p[3]) : p[3],
                                 a.has("replace") ? driver::TypeMode::replace : driver::TypeMode::append) ? 0 : fail("cannot type into " + p[2]);
    if (cmd == "select" && need(3))
        return driver::comboSelect(dialogArg(a, 1), idArg(a, 2), idArg(a, 3)) ? 0 : fail("cannot select entry " + p[3]);
    if (cmd == "combo" && need(2)) {
        HWND w = dialogArg(a, 1);
        int id = idArg(a, 2);
        if (driver::comboCount(w, id) < 0)
            return fail("no combo box " + p[2]);
        out("selection " + std::to_string(driver::comboSelection(w, id)));
        for (const std::string& s : driver::comboItems(w, id))
            out(s);
        return 0;
    }
    if (cmd == "check" && need(2)) {
        int state = driver::checkState(dialogArg(a, 1), idArg(a, 2));
        if (state < 0)
            return fail("no button " + p[2]);
        out(std::to_string(state));
        return 0;
    }
    if (cmd == "progress" && need(2)) {
        int low = 0, high = 0;
        HWND w = dialogArg(a, 1);
        if (!driver::progressRange(w, idArg(a, 2), &low, &high))
            return fail("no progress bar " + p[2]);
        out(std::to_string(driver::progressPos(w, idArg(a, 2))) + " " + std::to_string(low) + " " +
            std::to_string(high));
        return 0;
    }
    if ((cmd == "tree" || cmd == "tree-select") && need(1)) {
        HWND tree = driver::findChildByClass(dialogArg(a, 1), WC_TREEVIEWA);
        if (!tree)
            return fail("no tree view in " + p[1]);
        if (cmd == "tree") {
            writeOut(GetStdHandle(STD_OUTPUT_HANDLE), driver::treeDump(tree), Encoding::cp932);
            return 0;
        }
        std::vector<std::string> path(p.begin() + 2, p.end());
        HTREEITEM item = driver::treeFind(tree, path);
        if (!item)
            return fail("no such item; the tree:\n" + driver::toUtf8(driver::treeDump(tree)));
        return driver::treeSelect(tree, item) ? 0 : fail("the item did not become selected");
    }
    if ((cmd == "wait-message" || cmd == "wait-process-message") && need(1)) {
        HWND box = nullptr;
        if (cmd == "wait-message")
            box = driver::waitMessageBox(dialogArg(a, 1), a.timeout());
        else
            box = driver::waitProcessMessageBox(static_cast<DWORD>(std::strtoul(p[1].c_str(), nullptr, 0)), a.timeout());
        if (!box)
            return fail("no message box; windows:\n" + driver::describeWindows(0));
        driver::MessageBoxInfo info = driver::readMessageBox(box);
        out(hwndText(box));
        out(info.caption);
        out(info.text);
        return 0;
    }
    if (cmd == "answer" && need(2))
        return driver::answer(dialogArg(a, 1), idArg(a, 2)) ? 0 : fail("the box has no button " + p[2]);
    if (cmd == "expect-message" && need(4)) {
        std::string problem = driver::expectMessage(dialogArg(a, 1), unescape(p[2]), unescape(p[3]),
                                                    idArg(a, 4), a.timeout());
        return problem.empty() ? 0 : fail(problem);
    }
    if (cmd == "shot" && need(1)) {
        HWND w = need(2) ? dialogArg(a, 2) : nullptr;
        if (need(2) && !IsWindow(w))
            return fail("no window " + p[2]);
        // A copy is over in a second: the picture is taken in this process the moment the bar
        // has got that far, as a second program started for it would come too late.
        if (a.has("progress")) {
            int id = static_cast<int>(std::strtol(a.option("progress").c_str(), nullptr, 0));
            int least = static_cast<int>(std::strtol(a.option("at-least", "1").c_str(), nullptr, 0));
            if (!driver::waitUntil([&] { return driver::progressPos(w, id) >= least; }, a.timeout()))
                return fail("progress bar " + a.option("progress") + " stayed below " + std::to_string(least));
        }
        return driver::saveScreenshot(p[1], w) ? 0 : fail("cannot write " + driver::toUtf8(p[1]));
    }
    if (cmd == "wait-gone" && need(1))
        return driver::waitGone(dialogArg(a, 1), a.timeout()) ? 0 : fail(p[1] + " still exists");
    if (cmd == "wait-hidden" && need(1))
        return driver::waitHidden(dialogArg(a, 1), a.timeout()) ? 0 : fail(p[1] + " still shown");
    if (cmd == "start" && need(1)) {
        driver::Process proc;
        if (!proc.start(p[1], a.option("args"), a.option("cwd")))
            return fail("cannot start " + driver::toUtf8(p[1]) + ": error " + std::to_string(proc.lastError()));
        out(std::to_string(proc.id()));
        return 0;
    }
    if ((cmd == "wait-exit" || cmd == "kill") && need(1)) {
        DWORD pid = static_cast<DWORD>(std::strtoul(p[1].c_str(), nullptr, 0));
        if (cmd == "kill") {
            driver::terminateProcessTree(pid, a.timeout());
            return 0;
        }
        driver::Process proc;
        if (!proc.attach(pid))
            return fail("no process " + p[1]);
        if (!proc.waitExit(a.timeout()))
            return fail("process " + p[1] + " still running");
        out(std::to_string(proc.exitCode()));
        return 0;
    }
    if (cmd == "remount" && need(1))
        return driver::remountDrive(p[1][0]) ? 0 : fail("cannot remount " + p[1]);
    if (cmd == "define" && need(2))
        return driver::defineDrive(p[1][0], p[2], need(3) ? p[3] : "") ? 0 : fail("cannot define " + p[1]);
    if (cmd == "kill-named" && need(1)) {
        std::vector<std::string> names(p.begin() + 1, p.end());
        out(std::to_string(driver::terminateProcessesNamed(names, a.timeout())));
        return 0;
    }
    if (cmd == "wait-file" && need(1))
        return driver::waitFile(p[1], a.timeout()) ? 0 : fail("no file " + driver::toUtf8(p[1]));
    if (cmd == "wait-line" && need(2))
        return driver::waitFileLine(p[1], p[2], a.timeout()) ? 0 : fail("no line " + driver::quote(p[2]) + " in " + driver::toUtf8(p[1]));
    if (cmd == "label" && need(1)) {
        std::string got;
        auto read = [&] {
            char label[256] = "";
            if (!GetVolumeInformationA(p[1].c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
                return false;
            got = label;
            return !a.has("expect") || got == a.option("expect");
        };
        if (!driver::waitUntil(read, a.has("expect") ? a.timeout() : 0))
            return fail("label of " + driver::toUtf8(p[1]) + " is " + driver::quote(got));
        out(got);
        return 0;
    }
    usage();
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    Args a;
    for (int i = 1; i < argc; ++i) {
        std::string s = argv[i];
        if (s.size() > 2 && s.compare(0, 2, "--") == 0) {
            std::string name = s.substr(2);
            if (isFlag(name))
                a.options[name] = "1";
            else if (i + 1 < argc)
                a.options[name] = argv[++i];
        } else {
            a.positional.push_back(s);
        }
    }
    rawOutput = a.has("raw");
    if (a.positional.empty()) {
        usage();
        return 2;
    }
    return run(a);
}
