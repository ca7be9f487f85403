#include "app/App.h"

#include "ruler/modMain.h"

App::App() : settings_(L"Trelvik", L"Settings"), main_(*this), menu_(*this, settings_) {}

App::~App() {
    // Normally the windows are gone by now (Exit, end of session). If start-up failed half-way, the
    // remaining ones go through the same sequence, while every member they reach is still alive.
    Shutdown();
}

bool App::Start() {
    if (!main_.Load()) {
        return false;
    }
    firstRun_ = settings_.Get(L"FirstTime", L"0") == L"0";
    if (firstRun_) {
        settings_.Save(L"FirstTime", L"1");
    }

    if (!menu_.Load()) {
        return false;
    }
    menu_.CheckResMenu();

    if (firstRun_) {
        frmRulers& rulers = Rulers();
        const RECT r = rulers.Bounds();
        rulers.MoveTo((VirtualScreenWidth() - (r.right - r.left)) / 2,
                      (VirtualScreenHeight() - (r.bottom - r.top)) / 2);
        rulers.Show();
        main_.PlaceBeside(rulers.Bounds());
        main_.ShowHelp();
    } else if (settings_.GetInt(L"ShowRuler", 1) != 0) {
        Rulers().Show();
    }
    // The icon comes last: adding it waits for the taskbar's answer, which the ruler need not wait
    // for. A refused icon is not reported: the program runs on without it.
    if (main_.AddTrayIcon() && firstRun_) {
        (void)main_.ShowFirstRunBalloon();
    }
    return true;
}

int App::Run() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (RouteDialogKeys(msg, {main_.hwnd(), about_.hwnd()})) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

bool App::RouteDialogKeys(MSG& msg, std::initializer_list<HWND> forms) noexcept {
    const HWND active = ::GetActiveWindow();
    if (!active || !::IsWindowVisible(active)) {
        return false;
    }
    for (const HWND form : forms) {
        if (form == active) {
            return ::IsDialogMessageW(active, &msg) != FALSE;
        }
    }
    return false;
}

void App::Shutdown() {
    if (menu_.IsCreated()) {
        menu_.Destroy(); // its destruction runs the rest of the sequence
    } else {
        DestroyRemainingWindows();
    }
}

frmRulers& App::Rulers() {
    if (!rulers_) {
        rulers_ = std::make_unique<frmRulers>(menu_, settings_);
    }
    if (!rulers_->IsCreated()) {
        (void)rulers_->Load();
    }
    return *rulers_;
}

frmRulers* App::ExistingRulers() {
    return rulers_ && rulers_->IsCreated() ? rulers_.get() : nullptr;
}

void App::ShowHelp() {
    main_.ShowHelp();
}

void App::ShowAbout() {
    about_.ShowAbout();
}

void App::ShowRulerInFront() {
    frmRulers& rulers = Rulers();
    rulers.Show();
    // Top-most again, and the foreground if the later start let us take it.
    ::SetWindowPos(rulers.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(rulers.hwnd());
}

void App::OnIconLeftClick() {
    Rulers().ToggleShown();
    main_.HideHelp();
    about_.Hide();
}

void App::DestroyRemainingWindows() {
    if (frmRulers* rulers = ExistingRulers()) {
        rulers->Unload();
    }
    // The measuring overlay joins here, before the About box.
    about_.Destroy();
    main_.Destroy();
}
