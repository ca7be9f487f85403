#include "app/App.h"

#include "ruler/modMain.h"

App::App() : settings_(L"Trelvik", L"Settings"), main_(*this), menu_(*this, settings_) {}

App::~App() = default;

bool App::Start() {
    if (!main_.Load()) {
        return false;
    }
    // The notification icon joins here, with the help text of the main window.

    firstRun_ = settings_.Get(L"FirstTime", L"0") == L"0";
    if (firstRun_) {
        settings_.Save(L"FirstTime", L"1");
        main_.ShowHelp();
    }

    if (!menu_.Load()) {
        return false;
    }
    menu_.CheckResMenu();

    if (firstRun_) {
        frmRulers& rulers = Rulers();
        const RECT r = rulers.Bounds();
        rulers.MoveTo((VirtualScreenWidth() - (r.right - r.left)) / 2, (VirtualScreenHeight() - (r.bottom - r.top)) / 2);
        rulers.Show();
    } else if (settings_.GetInt(L"ShowRuler", 1) != 0) {
        Rulers().Show();
    }
    return true;
}

int App::Run() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
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

frmRulers* App::ExistingRulers() { return rulers_ && rulers_->IsCreated() ? rulers_.get() : nullptr; }

void App::ShowHelp() { main_.ShowHelp(); }

void App::ShowAbout() {
    // The About box joins here.
}

void App::DestroyRemainingWindows() {
    if (frmRulers* rulers = ExistingRulers()) {
        rulers->Unload();
    }
    // The measuring overlay and the About box join here, before the main window.
    main_.Destroy();
}
