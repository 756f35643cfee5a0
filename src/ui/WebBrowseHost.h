// The host side of the embedded browser: what the browser asks its host while
// it loads and shows a page (host flags, message boxes, help, context menus,
// accelerator keys, URL translation, drag and drop), answered either by an
// event that the owner assigned or by a fixed default.
//
// Plain C++ without Qt, so every answer is testable without a browser engine;
// TWebBrowseEx (WebBrowseEx.h) owns one of these and puts it between the
// engine and the program.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace velmora {

// ---------------------------------------------------------------------------
// The browser host protocol's vocabulary

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);

// A native window handle (a window id of the windowing system).
using HWND = std::uintptr_t;

// Queued-message numbers and virtual-key codes that the key filter looks at.
inline constexpr std::uint32_t WM_KEYDOWN = 0x100;
inline constexpr std::uint32_t WM_KEYUP = 0x101;
inline constexpr std::uint32_t WM_CHAR = 0x102;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x104;
inline constexpr std::uint32_t WM_SYSKEYUP = 0x105;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_LSHIFT = 0xA0;
inline constexpr int VK_RSHIFT = 0xA1;
inline constexpr int VK_LCONTROL = 0xA2;
inline constexpr int VK_RCONTROL = 0xA3;
inline constexpr int VK_LMENU = 0xA4;
inline constexpr int VK_RMENU = 0xA5;

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct TRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// One queued window message.
struct TMsg {
    HWND hwnd = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::uint32_t time = 0;
    TPoint pt;
};

struct TGuid {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
};

// The engine's objects that the protocol passes around. The host never looks
// inside them; they only travel between the engine and the events.
struct IUnknown;
struct IDispatch;
struct IDataObject;
struct IDropTarget;
struct IOleCommandTarget;
struct IOleInPlaceActiveObject;
struct IOleInPlaceFrame;
struct IOleInPlaceUIWindow;

// What the host tells the browser about itself. The two texts, when an
// OnGetHostInfo handler supplies them, come from the task allocator and go to
// the browser, which frees them.
struct TDOCHOSTUIINFO {
    std::uint32_t cbSize = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwDoubleClick = 0;
    char16_t* pchHostCss = nullptr;
    char16_t* pchHostNS = nullptr;
};

inline constexpr std::uint32_t DOCHOSTUIFLAG_DIALOG = 0x1;
inline constexpr std::uint32_t DOCHOSTUIFLAG_NO3DBORDER = 0x4;
inline constexpr std::uint32_t DOCHOSTUIFLAG_SCROLL_NO = 0x8;
inline constexpr std::uint32_t DOCHOSTUIFLAG_DIV_BLOCKDEFAULT = 0x100;

// ---------------------------------------------------------------------------
// Host options: the owner's choices, each adding one host flag. The ordinal
// is the option's bit in the 32-bit option mask; the flags are those the
// browser understands (0x8000 has no option).

#define VELMORA_USER_INTERFACE_OPTIONS(X)            \
    X(DisableTextSelect, 0, 0x1)                     \
    X(DisableHelpMenu, 1, 0x2)                       \
    X(DontUse3DBorders, 2, 0x4)                      \
    X(DontUseScrollBars, 3, 0x8)                     \
    X(PostponeScriptUntilActive, 4, 0x10)            \
    X(ForceOpenNewWindow, 5, 0x20)                   \
    X(Reserved_OFFSCREEN, 6, 0x40)                   \
    X(ForceFlatScrollBars, 7, 0x80)                  \
    X(InsertDivTagOnEditMode, 8, 0x100)              \
    X(ActivateUIOnlyOnDocClick, 9, 0x200)            \
    X(ConsultBeforeRetrievingBehavior, 10, 0x400)    \
    X(CheckFontSupportsCodePage, 11, 0x800)          \
    X(DisableSubmitUrlInUTF8, 12, 0x1000)            \
    X(EnableSubmitUrlInUTF8, 13, 0x2000)             \
    X(EnablesFormsAutoComplete, 14, 0x4000)          \
    X(ForceSameWindowNavigation, 15, 0x10000)        \
    X(EmableImeLocalLanguages, 16, 0x20000)          \
    X(EnableThemes, 17, 0x40000)                     \
    X(DisableThemes, 18, 0x80000)                    \
    X(DisablePicsRatings, 19, 0x100000)              \
    X(DisableFrameSetBorder, 20, 0x200000)           \
    X(DisablesAutoNameSpaceCorrection, 21, 0x400000) \
    X(DisableLocalFileAccess, 22, 0x800000)          \
    X(DisableUntrustedProtocol, 23, 0x1000000)       \
    X(CheckNavigationDelegatedToHost, 24, 0x2000000) \
    X(EnableRedirectNotification, 25, 0x4000000)     \
    X(EnableDomWindlessControls, 26, 0x8000000)      \
    X(EnableWindowedControls, 27, 0x10000000)        \
    X(ForceUserActivationOnActiveXJava, 28, 0x20000000)

#define VELMORA_OPTION_ORDINAL(name, ordinal, flag) name = ordinal,
enum class TUserInterfaceOption : std::uint8_t { VELMORA_USER_INTERFACE_OPTIONS(VELMORA_OPTION_ORDINAL) };
#undef VELMORA_OPTION_ORDINAL

inline constexpr int UserInterfaceOptionCount = 29;

// The host flag that an option adds.
std::uint32_t HostFlagOf(TUserInterfaceOption option);
// The option's name as the program spells it.
std::string_view UserInterfaceOptionName(TUserInterfaceOption option);

// A set of options, kept as a mask with bit n for the option of ordinal n.
class TUserInterfaceOptions {
public:
    constexpr TUserInterfaceOptions() = default;
    TUserInterfaceOptions(std::initializer_list<TUserInterfaceOption> options);
    // Bits above the last option are dropped.
    static TUserInterfaceOptions FromMask(std::uint32_t mask);

    std::uint32_t Mask() const { return mask_; }
    bool Empty() const { return mask_ == 0; }
    bool Contains(TUserInterfaceOption option) const;
    TUserInterfaceOptions& Include(TUserInterfaceOption option);
    TUserInterfaceOptions& Exclude(TUserInterfaceOption option);
    friend bool operator==(TUserInterfaceOptions, TUserInterfaceOptions) = default;

private:
    std::uint32_t mask_ = 0;
};

// What Enter inserts while the page is edited: a paragraph or a division.
enum class TEnterMode : std::uint8_t { emFlagP = 0, emFlagDiv = 1 };

// ---------------------------------------------------------------------------
// Events. Each is optional; an event is assigned when it holds a callable.
// Wide texts are zero-terminated UTF-16.

class TWebBrowseHost;

using TShowMessageEvent = std::function<HRESULT(
    TWebBrowseHost& Sender, HWND hwnd, const char16_t* lpstrText, const char16_t* lpstrCaption,
    std::uint32_t dwType, const char16_t* lpstrHelpFile, std::uint32_t dwHelpContext, std::int32_t& plResult)>;
using TShowHelpEvent = std::function<HRESULT(TWebBrowseHost& Sender, HWND hwnd, const char16_t* pszHelpFile,
                                             std::uint32_t uCommand, std::uint32_t dwData, TPoint ptMouse,
                                             IDispatch* pDispatchObjectHit)>;
using TEnableModelessEvent = std::function<void(TWebBrowseHost& Sender, bool fEnable)>;
using TFilterDataObjectEvent = std::function<void(TWebBrowseHost& Sender, IDataObject* pDO, IDataObject*& ppDORet)>;
using TGetDropTargetEvent = std::function<void(TWebBrowseHost& Sender, IDropTarget*& DropTarget)>;
using TGetExternalEvent = std::function<void(TWebBrowseHost& Sender, IDispatch*& ppDispatch)>;
using TGetOptionKeyPathEvent = std::function<void(TWebBrowseHost& Sender, char16_t*& pchKey)>;
using TShowContextMenuEvent = std::function<void(TWebBrowseHost& Sender, std::uint32_t dwID, const TPoint* ppt,
                                                 IUnknown* CommandTarget, IDispatch* Context, HRESULT& Result)>;
using TGetHostInfoEvent = std::function<HRESULT(TWebBrowseHost& Sender, TDOCHOSTUIINFO& pInfo)>;
using TOnActivateEvent = std::function<void(TWebBrowseHost& Sender, bool fActivate)>;
using TResizeBorderEvent = std::function<void(TWebBrowseHost& Sender, const TRect* prcBorder,
                                              IOleInPlaceUIWindow* pUIWindow, bool fRameWindow)>;
using TShowUIEvent = std::function<void(TWebBrowseHost& Sender, std::uint32_t dwID,
                                        IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                                        IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc, HRESULT& Result)>;
using TWBEXNotifyEvent = std::function<void(TWebBrowseHost& Sender, HRESULT& Result)>;
using TTranslateAcceleratorEvent = std::function<void(TWebBrowseHost& Sender, const TMsg* lpMsg,
                                                      const TGuid* pguidCmdGroup, std::uint32_t nCmdID, bool& Done)>;
using TTranslateUrlEvent =
    std::function<void(TWebBrowseHost& Sender, const char16_t* pchURLIn, std::u16string& ppchURLOut)>;
using TMaskedCtrlCharEvent = std::function<void(TWebBrowseHost& Sender, char MaskedChar)>;

// ---------------------------------------------------------------------------

class TWebBrowseHost {
public:
    TWebBrowseHost() = default;
    virtual ~TWebBrowseHost() = default;
    TWebBrowseHost(const TWebBrowseHost&) = delete;
    TWebBrowseHost& operator=(const TWebBrowseHost&) = delete;

    // Events, in the order the component publishes them.
    TShowMessageEvent OnShowMessage;
    TShowHelpEvent OnShowHelp;
    TEnableModelessEvent OnEnableModeless;
    TFilterDataObjectEvent OnFilterDataObject;
    TGetDropTargetEvent OnGetDropTarget;
    TGetExternalEvent OnGetExternal;
    TGetOptionKeyPathEvent OnGetOptionKeyPath;
    TShowContextMenuEvent OnShowContextMenu;
    TGetHostInfoEvent OnGetHostInfo;
    TOnActivateEvent OnOnDocWindowActivate;
    TOnActivateEvent OnOnFrameWindowActivate;
    TResizeBorderEvent OnResizeBorder;
    TShowUIEvent OnShowUI;
    TWBEXNotifyEvent OnUpdateUI;
    TWBEXNotifyEvent OnHideUI;
    TTranslateAcceleratorEvent OnTranslateAccelerator;
    TTranslateUrlEvent OnTranslateUrl;

    // The help file that ShowHelp opens when the browser names none (UTF-8 path).
    std::string HelpFile;
    TEnterMode EnterModeOnEdit = TEnterMode::emFlagDiv;
    // Characters whose Ctrl shortcuts FilterCtrlShortcut swallows, compared
    // byte for byte with virtual-key codes: capitals and digits.
    std::string DisableCtrlShortcuts = "N";
    TMaskedCtrlCharEvent OnMaskedCtrlChar;

    // What the host needs from its surroundings; the browser view fills these in.
    // Key state as the system reports it: negative while the key is down.
    std::function<std::int16_t(int virtualKey)> GetKeyState;
    // Opens a help file with the desktop's own viewer.
    std::function<void(HWND hwnd, const std::string& helpFile, std::uint32_t command, std::uint32_t data)>
        OpenHelpFile;
    // Tells the browser that the host flags changed, so it asks for them again.
    std::function<void()> AmbientPropertyChanged;

    TUserInterfaceOptions UserInterfaceOptions() const { return options_; }
    // Stores the options, recomputes the host flags and tells the browser.
    void SetUserInterfaceOptions(TUserInterfaceOptions options);
    std::uint32_t HostFlags() const { return hostFlags_; }
    void UpdateHostFlags();

    // True when `msg` is a Ctrl shortcut that the host swallows.
    virtual bool FilterCtrlShortcut(const TMsg& msg);

    // What the browser asks the host for its message boxes and help.
    HRESULT ShowMessage(HWND hwnd, const char16_t* lpstrText, const char16_t* lpstrCaption, std::uint32_t dwType,
                        const char16_t* lpstrHelpFile, std::uint32_t dwHelpContext, std::int32_t* plResult);
    HRESULT ShowHelp(HWND hwnd, const char16_t* pszHelpFile, std::uint32_t uCommand, std::uint32_t dwData,
                     TPoint ptMouse, IDispatch* pDispatchObjectHit);

    // What the browser asks the host about its user interface.
    HRESULT ShowContextMenu(std::uint32_t dwID, const TPoint* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved);
    HRESULT GetHostInfo(TDOCHOSTUIINFO* pInfo);
    HRESULT ShowUI(std::uint32_t dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                   IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc);
    HRESULT HideUI();
    HRESULT UpdateUI();
    HRESULT EnableModeless(bool fEnable);
    HRESULT OnDocWindowActivate(bool fActivate);
    HRESULT OnFrameWindowActivate(bool fActivate);
    HRESULT ResizeBorder(const TRect* prcBorder, IOleInPlaceUIWindow* pUIWindow, bool fRameWindow);
    HRESULT TranslateAccelerator(const TMsg* lpMsg, const TGuid* pguidCmdGroup, std::uint32_t nCmdID);
    HRESULT GetOptionKeyPath(char16_t** pchKey, std::uint32_t dw);
    HRESULT GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget);
    HRESULT GetExternal(IDispatch** ppDispatch);
    // On S_OK *ppchURLOut is a block from the task allocator that the caller frees.
    HRESULT TranslateUrl(std::uint32_t dwTranslate, const char16_t* pchURLIn, char16_t** ppchURLOut);
    HRESULT FilterDataObject(IDataObject* pDO, IDataObject** ppDORet);

private:
    bool KeyDown(int virtualKey) const;
    bool CtrlShortcutModifiersHeld() const;

    TUserInterfaceOptions options_;
    std::uint32_t hostFlags_ = 0;
};

}  // namespace velmora
