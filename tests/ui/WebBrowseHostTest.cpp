// The browser host's answers without an engine: option names and flags, the
// host information, every call's default and its event, the Ctrl-shortcut
// filter with a replaced key state, and URL translation into task memory.
#include "TaskMemory.h"
#include "WebBrowseHost.h"

#include "TestRowNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace velmora {
namespace {

using testing_support::PrintTo;

using Opt = TUserInterfaceOption;

// ---------------------------------------------------------------------------
// The option table, as the program names and numbers its options.

struct OptionRow {
    const char* name;
    int ordinal;
    std::uint32_t flag;
};

class UserInterfaceOptionTable : public testing::TestWithParam<OptionRow> {};

TEST_P(UserInterfaceOptionTable, NameOrdinalAndFlag) {
    const OptionRow row = GetParam();
    const auto option = static_cast<Opt>(row.ordinal);
    EXPECT_EQ(UserInterfaceOptionName(option), row.name);
    EXPECT_EQ(HostFlagOf(option), row.flag);
    TWebBrowseHost host;
    host.SetUserInterfaceOptions({option});
    EXPECT_EQ(host.UserInterfaceOptions().Mask(), 1u << row.ordinal);
    EXPECT_EQ(host.HostFlags(), row.flag);
}

const OptionRow optionRows[] = {
    {"DisableTextSelect", 0, 0x1},
    {"DisableHelpMenu", 1, 0x2},
    {"DontUse3DBorders", 2, 0x4},
    {"DontUseScrollBars", 3, 0x8},
    {"PostponeScriptUntilActive", 4, 0x10},
    {"ForceOpenNewWindow", 5, 0x20},
    {"Reserved_OFFSCREEN", 6, 0x40},
    {"ForceFlatScrollBars", 7, 0x80},
    {"InsertDivTagOnEditMode", 8, 0x100},
    {"ActivateUIOnlyOnDocClick", 9, 0x200},
    {"ConsultBeforeRetrievingBehavior", 10, 0x400},
    {"CheckFontSupportsCodePage", 11, 0x800},
    {"DisableSubmitUrlInUTF8", 12, 0x1000},
    {"EnableSubmitUrlInUTF8", 13, 0x2000},
    {"EnablesFormsAutoComplete", 14, 0x4000},
    {"ForceSameWindowNavigation", 15, 0x10000},
    {"EmableImeLocalLanguages", 16, 0x20000},
    {"EnableThemes", 17, 0x40000},
    {"DisableThemes", 18, 0x80000},
    {"DisablePicsRatings", 19, 0x100000},
    {"DisableFrameSetBorder", 20, 0x200000},
    {"DisablesAutoNameSpaceCorrection", 21, 0x400000},
    {"DisableLocalFileAccess", 22, 0x800000},
    {"DisableUntrustedProtocol", 23, 0x1000000},
    {"CheckNavigationDelegatedToHost", 24, 0x2000000},
    {"EnableRedirectNotification", 25, 0x4000000},
    {"EnableDomWindlessControls", 26, 0x8000000},
    {"EnableWindowedControls", 27, 0x10000000},
    {"ForceUserActivationOnActiveXJava", 28, 0x20000000},
};
INSTANTIATE_TEST_SUITE_P(AllOptions, UserInterfaceOptionTable, testing::ValuesIn(optionRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UserInterfaceOptions, EveryOptionAddsItsOwnBitAndNoneUses0x8000) {
    TWebBrowseHost host;
    host.SetUserInterfaceOptions(TUserInterfaceOptions::FromMask(0xFFFFFFFFu));
    EXPECT_EQ(host.UserInterfaceOptions().Mask(), (1u << UserInterfaceOptionCount) - 1);  // no bits past the last
    EXPECT_EQ(host.HostFlags(), 0x3FFF7FFFu);
    EXPECT_EQ(host.HostFlags() & 0x8000u, 0u);
}

TEST(UserInterfaceOptions, SetOperations) {
    TUserInterfaceOptions options{Opt::DontUse3DBorders, Opt::EnableThemes};
    EXPECT_TRUE(options.Contains(Opt::EnableThemes));
    EXPECT_FALSE(options.Contains(Opt::DontUseScrollBars));
    options.Include(Opt::DontUseScrollBars).Exclude(Opt::EnableThemes);
    EXPECT_EQ(options, (TUserInterfaceOptions{Opt::DontUse3DBorders, Opt::DontUseScrollBars}));
    EXPECT_FALSE(options.Empty());
    EXPECT_TRUE(TUserInterfaceOptions{}.Empty());
}

// ---------------------------------------------------------------------------
// Host flags and the host information

struct HostInfoRow {
    const char* name;
    TUserInterfaceOptions options;
    TEnterMode enterMode;
    std::uint32_t hostFlags;
    std::uint32_t reported;
};

class HostInfo : public testing::TestWithParam<HostInfoRow> {};

TEST_P(HostInfo, FlagsAndReportedRecord) {
    const HostInfoRow& row = GetParam();
    TWebBrowseHost host;
    host.EnterModeOnEdit = row.enterMode;
    host.SetUserInterfaceOptions(row.options);
    EXPECT_EQ(host.HostFlags(), row.hostFlags);

    TDOCHOSTUIINFO info;
    info.dwDoubleClick = 7;  // whatever was there is cleared
    info.cbSize = 99;
    ASSERT_EQ(host.GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.cbSize, sizeof(TDOCHOSTUIINFO));
    EXPECT_EQ(info.dwFlags, row.reported);
    EXPECT_EQ(info.dwDoubleClick, 0u);
    EXPECT_EQ(info.pchHostCss, nullptr);
    EXPECT_EQ(info.pchHostNS, nullptr);
}

const HostInfoRow hostInfoRows[] = {
    {"Empty", {}, TEnterMode::emFlagDiv, 0, 0x100},
    {"EmptyParagraphMode", {}, TEnterMode::emFlagP, 0, 0},
    {"ResultBrowser", {Opt::DontUse3DBorders, Opt::EnableThemes}, TEnterMode::emFlagDiv, 0x40004, 0x40104},
    {"Banner", {Opt::DontUse3DBorders, Opt::DontUseScrollBars, Opt::EnableThemes}, TEnterMode::emFlagDiv, 0x4000C,
     0x4010C},
    {"DivTagOnceNotTwice", {Opt::InsertDivTagOnEditMode}, TEnterMode::emFlagDiv, 0x100, 0x100},
    {"SameWindowNavigationAlone", {Opt::ForceSameWindowNavigation}, TEnterMode::emFlagP, 0x10000, 0x10000},
};
INSTANTIATE_TEST_SUITE_P(Settings, HostInfo, testing::ValuesIn(hostInfoRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostInfo, HandlerSeesTheFilledRecordAndItsResultIsIgnored) {
    TWebBrowseHost host;
    host.SetUserInterfaceOptions({Opt::DontUseScrollBars});
    std::uint32_t seen = 0;
    host.OnGetHostInfo = [&](TWebBrowseHost&, TDOCHOSTUIINFO& info) {
        seen = info.dwFlags;
        info.dwDoubleClick = 2;
        return E_NOTIMPL;
    };
    TDOCHOSTUIINFO info;
    EXPECT_EQ(host.GetHostInfo(&info), S_OK);
    EXPECT_EQ(seen, 0x108u);
    EXPECT_EQ(info.dwDoubleClick, 2u);
    EXPECT_EQ(host.GetHostInfo(nullptr), E_POINTER);
}

TEST(HostInfo, SetterRecomputesAndTellsTheBrowser) {
    TWebBrowseHost host;
    int told = 0;
    host.AmbientPropertyChanged = [&] { ++told; };
    host.SetUserInterfaceOptions({Opt::EnableThemes});
    EXPECT_EQ(host.HostFlags(), 0x40000u);
    host.SetUserInterfaceOptions({});
    EXPECT_EQ(host.HostFlags(), 0u);
    EXPECT_EQ(told, 2);
}

TEST(HostInfo, ConstructionDefaults) {
    const TWebBrowseHost host;
    EXPECT_EQ(host.DisableCtrlShortcuts, "N");
    EXPECT_EQ(host.EnterModeOnEdit, TEnterMode::emFlagDiv);
    EXPECT_TRUE(host.HelpFile.empty());
    EXPECT_TRUE(host.UserInterfaceOptions().Empty());
    EXPECT_EQ(host.HostFlags(), 0u);
}

// ---------------------------------------------------------------------------
// The Ctrl-shortcut filter, with the key state replaced

struct KeyRow {
    const char* name;
    std::string disabled;
    std::uint32_t message;
    int key;
    std::set<int> held;  // virtual keys reported down
    bool swallowed;
};

class CtrlShortcutFilter : public testing::TestWithParam<KeyRow> {};

TEST_P(CtrlShortcutFilter, SwallowsOnlyMaskedCtrlKeyDowns) {
    const KeyRow& row = GetParam();
    TWebBrowseHost host;
    host.DisableCtrlShortcuts = row.disabled;
    int keyStateReads = 0;
    host.GetKeyState = [&](int vk) -> std::int16_t {
        ++keyStateReads;
        return row.held.count(vk) != 0 ? std::int16_t(-32768) : std::int16_t(1);  // 1: toggled, not down
    };
    std::vector<char> masked;
    host.OnMaskedCtrlChar = [&](TWebBrowseHost&, char c) { masked.push_back(c); };

    TMsg msg;
    msg.message = row.message;
    msg.wParam = static_cast<std::uintptr_t>(row.key) | 0x1200;  // only the low byte is the key
    EXPECT_EQ(host.FilterCtrlShortcut(msg), row.swallowed);
    if (row.swallowed) {
        EXPECT_EQ(masked, std::vector<char>{static_cast<char>(row.key)});
    } else {
        EXPECT_TRUE(masked.empty());
    }
    if (row.disabled.empty()) {
        EXPECT_EQ(keyStateReads, 0);  // nothing to filter: the keyboard is not asked
    }
}

const std::set<int> leftCtrl{VK_LCONTROL, VK_CONTROL};
const std::set<int> rightCtrl{VK_RCONTROL, VK_CONTROL};

const KeyRow keyRows[] = {
    {"LeftCtrlN", "N", WM_KEYDOWN, 'N', leftCtrl, true},
    {"CtrlShiftN", "N", WM_KEYDOWN, 'N', {VK_LCONTROL, VK_CONTROL, VK_SHIFT, VK_LSHIFT}, true},
    {"LeftCtrlAltN", "N", WM_KEYDOWN, 'N', {VK_LCONTROL, VK_CONTROL, VK_MENU, VK_LMENU}, false},
    {"LeftCtrlRightAltN", "N", WM_KEYDOWN, 'N', {VK_LCONTROL, VK_CONTROL, VK_MENU, VK_RMENU}, false},
    {"RightCtrlRightAltN", "N", WM_KEYDOWN, 'N', {VK_RCONTROL, VK_CONTROL, VK_MENU, VK_RMENU}, true},
    {"RightCtrlLeftAltN", "N", WM_KEYDOWN, 'N', {VK_RCONTROL, VK_CONTROL, VK_MENU, VK_LMENU}, false},
    {"RightCtrlN", "N", WM_KEYDOWN, 'N', rightCtrl, true},
    {"KeyUpOfN", "N", WM_KEYUP, 'N', leftCtrl, false},
    {"SysKeyDownOfN", "N", WM_SYSKEYDOWN, 'N', leftCtrl, false},
    {"CharN", "N", WM_CHAR, 'N', leftCtrl, false},
    {"NWithoutCtrl", "N", WM_KEYDOWN, 'N', {}, false},
    {"OtherLetter", "N", WM_KEYDOWN, 'M', leftCtrl, false},
    {"LowerCaseNeverMatches", "n", WM_KEYDOWN, 'N', leftCtrl, false},
    {"EmptyListSwallowsNothing", "", WM_KEYDOWN, 'N', leftCtrl, false},
    {"DigitInList", "NP5", WM_KEYDOWN, '5', leftCtrl, true},
    {"LastOfSeveral", "NPO", WM_KEYDOWN, 'O', rightCtrl, true},
};
INSTANTIATE_TEST_SUITE_P(Keys, CtrlShortcutFilter, testing::ValuesIn(keyRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CtrlShortcutFilterState, WithoutKeyStateNothingCountsAsHeld) {
    TWebBrowseHost host;
    TMsg msg;
    msg.message = WM_KEYDOWN;
    msg.wParam = 'N';
    EXPECT_FALSE(host.FilterCtrlShortcut(msg));
}

// ---------------------------------------------------------------------------
// Defaults of every call without an event, and what an event changes

TEST(HostDefaults, CallsWithoutEvents) {
    TWebBrowseHost host;
    std::int32_t answer = 5;
    EXPECT_EQ(host.ShowMessage(0, u"text", u"caption", 0, nullptr, 0, &answer), S_FALSE);
    EXPECT_EQ(answer, 5);
    EXPECT_EQ(host.ShowContextMenu(0, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(host.ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(host.HideUI(), S_FALSE);
    EXPECT_EQ(host.UpdateUI(), S_FALSE);
    EXPECT_EQ(host.EnableModeless(true), S_OK);
    EXPECT_EQ(host.OnDocWindowActivate(true), S_OK);
    EXPECT_EQ(host.OnFrameWindowActivate(false), S_OK);
    const TRect border{0, 0, 10, 10};
    EXPECT_EQ(host.ResizeBorder(&border, nullptr, true), S_OK);
    TMsg msg;
    EXPECT_EQ(host.TranslateAccelerator(&msg, nullptr, 0), S_FALSE);
}

// Out-parameters come back null by default; a missing one is refused.
TEST(HostDefaults, OutParameters) {
    TWebBrowseHost host;
    auto* garbage = reinterpret_cast<IDropTarget*>(0x1);
    IDropTarget* target = garbage;
    EXPECT_EQ(host.GetDropTarget(nullptr, &target), S_OK);
    EXPECT_EQ(target, nullptr);
    IDispatch* external = reinterpret_cast<IDispatch*>(0x1);
    EXPECT_EQ(host.GetExternal(&external), S_FALSE);
    EXPECT_EQ(external, nullptr);
    IDataObject* data = reinterpret_cast<IDataObject*>(0x1);
    EXPECT_EQ(host.FilterDataObject(nullptr, &data), S_FALSE);
    EXPECT_EQ(data, nullptr);
    char16_t* key = reinterpret_cast<char16_t*>(0x1);
    EXPECT_EQ(host.GetOptionKeyPath(&key, 0), S_FALSE);
    EXPECT_EQ(key, nullptr);
    char16_t* url = reinterpret_cast<char16_t*>(0x1);
    EXPECT_EQ(host.TranslateUrl(0, u"http://a/", &url), S_FALSE);
    EXPECT_EQ(url, nullptr);

    EXPECT_EQ(host.GetDropTarget(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(host.GetExternal(nullptr), E_POINTER);
    EXPECT_EQ(host.FilterDataObject(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(host.GetOptionKeyPath(nullptr, 0), E_POINTER);
    EXPECT_EQ(host.TranslateUrl(0, u"http://a/", nullptr), E_POINTER);
}

TEST(HostEvents, ResultsByReferenceReachTheBrowser) {
    TWebBrowseHost host;
    std::uint32_t menuId = 0;
    TPoint menuAt;
    host.OnShowContextMenu = [&](TWebBrowseHost&, std::uint32_t id, const TPoint* at, IUnknown*, IDispatch*,
                                 HRESULT& result) {
        menuId = id;
        menuAt = *at;
        result = S_OK;
    };
    host.OnShowUI = [](TWebBrowseHost&, std::uint32_t, IOleInPlaceActiveObject*, IOleCommandTarget*,
                       IOleInPlaceFrame*, IOleInPlaceUIWindow*, HRESULT& result) { result = S_OK; };
    host.OnHideUI = [](TWebBrowseHost&, HRESULT& result) { result = S_OK; };
    host.OnUpdateUI = [](TWebBrowseHost&, HRESULT& result) { result = E_NOTIMPL; };
    host.OnTranslateAccelerator = [](TWebBrowseHost&, const TMsg* msg, const TGuid*, std::uint32_t, bool& done) {
        done = msg->wParam == 'Q';
    };
    const TPoint at{30, 40};
    EXPECT_EQ(host.ShowContextMenu(5, &at, nullptr, nullptr), S_OK);
    EXPECT_EQ(menuId, 5u);
    EXPECT_EQ(menuAt.x, 30);
    EXPECT_EQ(menuAt.y, 40);
    EXPECT_EQ(host.ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(host.HideUI(), S_OK);
    EXPECT_EQ(host.UpdateUI(), E_NOTIMPL);
    TMsg q;
    q.wParam = 'Q';
    TMsg w;
    w.wParam = 'W';
    EXPECT_EQ(host.TranslateAccelerator(&q, nullptr, 0), S_OK);
    EXPECT_EQ(host.TranslateAccelerator(&w, nullptr, 0), S_FALSE);
}

TEST(HostEvents, NotificationsArePassedOn) {
    TWebBrowseHost host;
    std::vector<std::string> heard;
    host.OnEnableModeless = [&](TWebBrowseHost&, bool on) { heard.push_back(on ? "modeless on" : "modeless off"); };
    host.OnOnDocWindowActivate = [&](TWebBrowseHost&, bool on) { heard.push_back(on ? "doc on" : "doc off"); };
    host.OnOnFrameWindowActivate = [&](TWebBrowseHost&, bool on) { heard.push_back(on ? "frame on" : "frame off"); };
    host.OnResizeBorder = [&](TWebBrowseHost&, const TRect* r, IOleInPlaceUIWindow*, bool frame) {
        heard.push_back("border " + std::to_string(r->right) + (frame ? " frame" : ""));
    };
    host.EnableModeless(false);
    host.OnDocWindowActivate(true);
    host.OnFrameWindowActivate(false);
    const TRect border{0, 0, 761, 55};
    host.ResizeBorder(&border, nullptr, true);
    EXPECT_EQ(heard, (std::vector<std::string>{"modeless off", "doc on", "frame off", "border 761 frame"}));
}

TEST(HostEvents, OutParametersSetByEvents) {
    TWebBrowseHost host;
    auto* dispatch = reinterpret_cast<IDispatch*>(0x10);
    auto* dropTarget = reinterpret_cast<IDropTarget*>(0x20);
    auto* data = reinterpret_cast<IDataObject*>(0x30);
    IDataObject* given = nullptr;
    host.OnGetExternal = [&](TWebBrowseHost&, IDispatch*& out) { out = dispatch; };
    host.OnGetDropTarget = [&](TWebBrowseHost&, IDropTarget*& out) { out = dropTarget; };
    host.OnFilterDataObject = [&](TWebBrowseHost&, IDataObject* in, IDataObject*& out) {
        given = in;
        out = data;
    };
    char16_t keyPath[] = u"Software\\Velmora";
    host.OnGetOptionKeyPath = [&](TWebBrowseHost&, char16_t*& out) { out = keyPath; };

    IDispatch* external = nullptr;
    EXPECT_EQ(host.GetExternal(&external), S_OK);
    EXPECT_EQ(external, dispatch);
    IDropTarget* target = nullptr;
    EXPECT_EQ(host.GetDropTarget(reinterpret_cast<IDropTarget*>(0x99), &target), S_OK);
    EXPECT_EQ(target, dropTarget);
    IDataObject* filtered = nullptr;
    EXPECT_EQ(host.FilterDataObject(reinterpret_cast<IDataObject*>(0x40), &filtered), S_OK);
    EXPECT_EQ(filtered, data);
    EXPECT_EQ(given, reinterpret_cast<IDataObject*>(0x40));
    char16_t* key = nullptr;
    EXPECT_EQ(host.GetOptionKeyPath(&key, 0), S_OK);
    EXPECT_EQ(key, keyPath);
}

TEST(HostEvents, ShowMessageHandlerAnswers) {
    TWebBrowseHost host;
    std::u16string text;
    std::u16string caption;
    std::uint32_t type = 0;
    host.OnShowMessage = [&](TWebBrowseHost&, HWND, const char16_t* t, const char16_t* c, std::uint32_t ty,
                             const char16_t*, std::uint32_t, std::int32_t& result) {
        text = t;
        caption = c;
        type = ty;
        result = 1;
        return S_OK;
    };
    std::int32_t answer = 0;
    EXPECT_EQ(host.ShowMessage(0, u"你好", u"提示", 0x21, nullptr, 0, &answer), S_OK);
    EXPECT_EQ(text, u"你好");
    EXPECT_EQ(caption, u"提示");
    EXPECT_EQ(type, 0x21u);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(host.ShowMessage(0, u"x", u"y", 0, nullptr, 0, nullptr), S_OK);  // no answer wanted
}

// ---------------------------------------------------------------------------
// Help

struct HelpRow {
    const char* name;
    std::string helpFile;
    const char16_t* browserHelpFile;
    HRESULT expected;
    bool opened;
};

class ShowHelpFallback : public testing::TestWithParam<HelpRow> {};

TEST_P(ShowHelpFallback, OpensTheHostsHelpFileOnlyWhenTheBrowserNamesNone) {
    const HelpRow& row = GetParam();
    TWebBrowseHost host;
    host.HelpFile = row.helpFile;
    std::string opened;
    std::uint32_t command = 0;
    host.OpenHelpFile = [&](HWND, const std::string& file, std::uint32_t cmd, std::uint32_t) {
        opened = file;
        command = cmd;
    };
    EXPECT_EQ(host.ShowHelp(0, row.browserHelpFile, 15, 0, {}, nullptr), row.expected);
    EXPECT_EQ(opened, row.opened ? row.helpFile : "");
    if (row.opened) {
        EXPECT_EQ(command, 15u);
    }
}

const HelpRow helpRows[] = {
    {"BrowserNamesItsOwn", "/usr/share/doc/velmora/help.html", u"ie.chm", S_FALSE, false},
    {"NoHelpFile", "", nullptr, S_FALSE, false},
    {"HostHelpFile", "/usr/share/doc/velmora/help.html", nullptr, S_OK, true},
    {"EmptyBrowserName", "/usr/share/doc/velmora/help.html", u"", S_OK, true},
};
INSTANTIATE_TEST_SUITE_P(Cases, ShowHelpFallback, testing::ValuesIn(helpRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShowHelpFallbackHandler, HandlerDecides) {
    TWebBrowseHost host;
    host.HelpFile = "help.html";
    bool fallback = false;
    host.OpenHelpFile = [&](HWND, const std::string&, std::uint32_t, std::uint32_t) { fallback = true; };
    host.OnShowHelp = [](TWebBrowseHost&, HWND, const char16_t*, std::uint32_t, std::uint32_t, TPoint,
                         IDispatch*) { return E_NOTIMPL; };
    EXPECT_EQ(host.ShowHelp(0, nullptr, 0, 0, {}, nullptr), E_NOTIMPL);
    EXPECT_FALSE(fallback);
}

// ---------------------------------------------------------------------------
// URL translation and task memory

TEST(TranslateUrl, HandlerLeavingTheTextEmpty) {
    TWebBrowseHost host;
    std::u16string seen;
    host.OnTranslateUrl = [&](TWebBrowseHost&, const char16_t* in, std::u16string&) { seen = in; };
    char16_t* out = reinterpret_cast<char16_t*>(0x1);
    EXPECT_EQ(host.TranslateUrl(0, u"http://velmora.example/ad/", &out), S_FALSE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(seen, u"http://velmora.example/ad/");
}

TEST(TranslateUrl, OneCharacterGivesAFourByteBlock) {
    const std::size_t before = TaskMemBlocksInUse();
    TWebBrowseHost host;
    host.OnTranslateUrl = [](TWebBrowseHost&, const char16_t*, std::u16string& out) { out = u"x"; };
    char16_t* out = nullptr;
    ASSERT_EQ(host.TranslateUrl(0, u"http://a/", &out), S_OK);
    const TaskMemPtr block(out);
    EXPECT_EQ(TaskMemBlocksInUse(), before + 1);
    unsigned char bytes[4];
    std::memcpy(bytes, out, 4);
    EXPECT_EQ(out[0], u'x');
    EXPECT_EQ(out[1], u'\0');
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 0);
}

TEST(TaskMemory, CopiesAreZeroTerminatedAndFreed) {
    const std::size_t before = TaskMemBlocksInUse();
    {
        const std::u16string text = u"file:///tmp/模板.html";
        const TaskMemPtr copy(CopyToTaskMemory(text));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(std::u16string(copy.get()), text);
        EXPECT_EQ(copy[text.size()], u'\0');
        const TaskMemPtr empty(CopyToTaskMemory(u""));
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(empty[0], u'\0');
        EXPECT_EQ(TaskMemBlocksInUse(), before + 2);
    }
    EXPECT_EQ(TaskMemBlocksInUse(), before);
    TaskMemFree(nullptr);
    EXPECT_EQ(TaskMemBlocksInUse(), before);
}

// A copy keeps text with embedded zeros whole; the reader stops at the first.
TEST(TaskMemory, EmbeddedZeroIsCopied) {
    const std::u16string text(u"a\0b", 3);
    const TaskMemPtr copy(CopyToTaskMemory(text));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy[2], u'b');
    EXPECT_EQ(copy[3], u'\0');
}

}  // namespace
}  // namespace velmora
