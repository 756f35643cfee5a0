#include "WebBrowseHost.h"

#include "TaskMemory.h"

#include <array>
#include <utility>

namespace velmora {

namespace {

struct OptionRow {
    std::string_view name;
    std::uint32_t flag;
};

#define VELMORA_OPTION_ROW(name, ordinal, flag) OptionRow{#name, flag},
constexpr std::array<OptionRow, UserInterfaceOptionCount> optionRows{
    {VELMORA_USER_INTERFACE_OPTIONS(VELMORA_OPTION_ROW)}};
#undef VELMORA_OPTION_ROW

constexpr std::uint32_t Bit(TUserInterfaceOption option) {
    return 1u << static_cast<unsigned>(option);
}

constexpr std::uint32_t allOptionsMask = (1u << UserInterfaceOptionCount) - 1;

// Calls an event when it is assigned.
template <typename Event, typename... Args>
void Raise(const Event& event, TWebBrowseHost& sender, Args&&... args) {
    if (event) {
        event(sender, std::forward<Args>(args)...);
    }
}

}  // namespace

std::uint32_t HostFlagOf(TUserInterfaceOption option) {
    return optionRows[static_cast<std::size_t>(option)].flag;
}

std::string_view UserInterfaceOptionName(TUserInterfaceOption option) {
    return optionRows[static_cast<std::size_t>(option)].name;
}

TUserInterfaceOptions::TUserInterfaceOptions(std::initializer_list<TUserInterfaceOption> options) {
    for (TUserInterfaceOption option : options) {
        Include(option);
    }
}

TUserInterfaceOptions TUserInterfaceOptions::FromMask(std::uint32_t mask) {
    TUserInterfaceOptions options;
    options.mask_ = mask & allOptionsMask;
    return options;
}

bool TUserInterfaceOptions::Contains(TUserInterfaceOption option) const {
    return (mask_ & Bit(option)) != 0;
}

TUserInterfaceOptions& TUserInterfaceOptions::Include(TUserInterfaceOption option) {
    mask_ |= Bit(option);
    return *this;
}

TUserInterfaceOptions& TUserInterfaceOptions::Exclude(TUserInterfaceOption option) {
    mask_ &= ~Bit(option);
    return *this;
}

// ---------------------------------------------------------------------------
// Options and host flags

void TWebBrowseHost::SetUserInterfaceOptions(TUserInterfaceOptions options) {
    options_ = options;
    UpdateHostFlags();
    if (AmbientPropertyChanged) {
        AmbientPropertyChanged();
    }
}

void TWebBrowseHost::UpdateHostFlags() {
    hostFlags_ = 0;
    for (int ordinal = 0; ordinal < UserInterfaceOptionCount; ++ordinal) {
        const auto option = static_cast<TUserInterfaceOption>(ordinal);
        if (options_.Contains(option)) {
            hostFlags_ |= HostFlagOf(option);
        }
    }
}

HRESULT TWebBrowseHost::GetHostInfo(TDOCHOSTUIINFO* pInfo) {
    if (pInfo == nullptr) {
        return E_POINTER;
    }
    *pInfo = TDOCHOSTUIINFO{};
    pInfo->cbSize = sizeof(TDOCHOSTUIINFO);
    pInfo->dwFlags = hostFlags_;
    if (EnterModeOnEdit == TEnterMode::emFlagDiv) {
        pInfo->dwFlags |= DOCHOSTUIFLAG_DIV_BLOCKDEFAULT;
    }
    Raise(OnGetHostInfo, *this, *pInfo);  // its result has no say
    return S_OK;
}

// ---------------------------------------------------------------------------
// The Ctrl-shortcut filter

bool TWebBrowseHost::KeyDown(int virtualKey) const {
    return GetKeyState && GetKeyState(virtualKey) < 0;
}

// Left Ctrl counts without either Alt, right Ctrl without the left Alt (the
// right Alt alone is how some layouts type their extra characters). Shift is
// not looked at.
bool TWebBrowseHost::CtrlShortcutModifiersHeld() const {
    if (KeyDown(VK_LCONTROL) && !KeyDown(VK_MENU)) {
        return true;
    }
    return KeyDown(VK_RCONTROL) && !KeyDown(VK_LMENU);
}

bool TWebBrowseHost::FilterCtrlShortcut(const TMsg& msg) {
    if (DisableCtrlShortcuts.empty() || msg.message != WM_KEYDOWN) {
        return false;
    }
    if (!CtrlShortcutModifiersHeld()) {
        return false;
    }
    const char key = static_cast<char>(msg.wParam & 0xFF);
    if (DisableCtrlShortcuts.find(key) == std::string::npos) {
        return false;
    }
    Raise(OnMaskedCtrlChar, *this, key);
    return true;
}

// ---------------------------------------------------------------------------
// Message boxes and help

HRESULT TWebBrowseHost::ShowMessage(HWND hwnd, const char16_t* lpstrText, const char16_t* lpstrCaption,
                                    std::uint32_t dwType, const char16_t* lpstrHelpFile,
                                    std::uint32_t dwHelpContext, std::int32_t* plResult) {
    if (!OnShowMessage) {
        return S_FALSE;  // the browser shows its own message box
    }
    std::int32_t unused = 0;
    return OnShowMessage(*this, hwnd, lpstrText, lpstrCaption, dwType, lpstrHelpFile, dwHelpContext,
                         plResult != nullptr ? *plResult : unused);
}

HRESULT TWebBrowseHost::ShowHelp(HWND hwnd, const char16_t* pszHelpFile, std::uint32_t uCommand,
                                 std::uint32_t dwData, TPoint ptMouse, IDispatch* pDispatchObjectHit) {
    if (OnShowHelp) {
        return OnShowHelp(*this, hwnd, pszHelpFile, uCommand, dwData, ptMouse, pDispatchObjectHit);
    }
    const bool browserNamedItsOwn = pszHelpFile != nullptr && pszHelpFile[0] != u'\0';
    if (browserNamedItsOwn || HelpFile.empty()) {
        return S_FALSE;
    }
    if (OpenHelpFile) {
        OpenHelpFile(hwnd, HelpFile, uCommand, dwData);
    }
    return S_OK;
}

// ---------------------------------------------------------------------------
// The user-interface calls

HRESULT TWebBrowseHost::ShowContextMenu(std::uint32_t dwID, const TPoint* ppt, IUnknown* pcmdtReserved,
                                        IDispatch* pdispReserved) {
    HRESULT result = E_NOTIMPL;  // the browser shows its own menu
    Raise(OnShowContextMenu, *this, dwID, ppt, pcmdtReserved, pdispReserved, result);
    return result;
}

HRESULT TWebBrowseHost::ShowUI(std::uint32_t dwID, IOleInPlaceActiveObject* pActiveObject,
                               IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                               IOleInPlaceUIWindow* pDoc) {
    HRESULT result = S_FALSE;
    Raise(OnShowUI, *this, dwID, pActiveObject, pCommandTarget, pFrame, pDoc, result);
    return result;
}

HRESULT TWebBrowseHost::HideUI() {
    HRESULT result = S_FALSE;
    Raise(OnHideUI, *this, result);
    return result;
}

HRESULT TWebBrowseHost::UpdateUI() {
    HRESULT result = S_FALSE;
    Raise(OnUpdateUI, *this, result);
    return result;
}

HRESULT TWebBrowseHost::EnableModeless(bool fEnable) {
    Raise(OnEnableModeless, *this, fEnable);
    return S_OK;
}

HRESULT TWebBrowseHost::OnDocWindowActivate(bool fActivate) {
    Raise(OnOnDocWindowActivate, *this, fActivate);
    return S_OK;
}

HRESULT TWebBrowseHost::OnFrameWindowActivate(bool fActivate) {
    Raise(OnOnFrameWindowActivate, *this, fActivate);
    return S_OK;
}

HRESULT TWebBrowseHost::ResizeBorder(const TRect* prcBorder, IOleInPlaceUIWindow* pUIWindow, bool fRameWindow) {
    Raise(OnResizeBorder, *this, prcBorder, pUIWindow, fRameWindow);
    return S_OK;
}

HRESULT TWebBrowseHost::TranslateAccelerator(const TMsg* lpMsg, const TGuid* pguidCmdGroup,
                                             std::uint32_t nCmdID) {
    bool done = false;
    Raise(OnTranslateAccelerator, *this, lpMsg, pguidCmdGroup, nCmdID, done);
    return done ? S_OK : S_FALSE;  // S_FALSE: the browser handles the key itself
}

// ---------------------------------------------------------------------------
// Calls that hand something back through an out-parameter. A missing
// out-parameter is refused instead of written through.

HRESULT TWebBrowseHost::GetOptionKeyPath(char16_t** pchKey, std::uint32_t /*dw*/) {
    if (pchKey == nullptr) {
        return E_POINTER;
    }
    *pchKey = nullptr;
    Raise(OnGetOptionKeyPath, *this, *pchKey);
    return *pchKey != nullptr ? S_OK : S_FALSE;
}

HRESULT TWebBrowseHost::GetDropTarget(IDropTarget* /*pDropTarget*/, IDropTarget** ppDropTarget) {
    if (ppDropTarget == nullptr) {
        return E_POINTER;
    }
    *ppDropTarget = nullptr;
    Raise(OnGetDropTarget, *this, *ppDropTarget);
    return S_OK;
}

HRESULT TWebBrowseHost::GetExternal(IDispatch** ppDispatch) {
    if (ppDispatch == nullptr) {
        return E_POINTER;
    }
    *ppDispatch = nullptr;
    Raise(OnGetExternal, *this, *ppDispatch);
    return *ppDispatch != nullptr ? S_OK : S_FALSE;
}

HRESULT TWebBrowseHost::TranslateUrl(std::uint32_t /*dwTranslate*/, const char16_t* pchURLIn,
                                     char16_t** ppchURLOut) {
    if (ppchURLOut == nullptr) {
        return E_POINTER;
    }
    *ppchURLOut = nullptr;
    std::u16string translated;
    Raise(OnTranslateUrl, *this, pchURLIn, translated);
    if (translated.empty()) {
        return S_FALSE;
    }
    *ppchURLOut = CopyToTaskMemory(translated);
    return *ppchURLOut != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT TWebBrowseHost::FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) {
    if (ppDORet == nullptr) {
        return E_POINTER;
    }
    *ppDORet = nullptr;
    Raise(OnFilterDataObject, *this, pDO, *ppDORet);
    return *ppDORet != nullptr ? S_OK : S_FALSE;
}

}  // namespace velmora
