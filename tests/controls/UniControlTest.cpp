// What every drawn control shares: the property set's readers, the mouse pointer and drag and drop
// through the platform's own OLE, seen through a label.
#include "controls/UniControl.h"
#include "controls/ctlUniLabel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlHost.h"
#include "core/AppError.h"
#include "draw/DrawHelpers.h"

namespace {

uint32_t ErrorNumberOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const AppError& e) {
        return e.Number();
    }
    return 0;
}

TEST(PropertyBagTest, ReadersConvertWhatFitsAndRaiseForTheRest) {
    PropertyBag bag{{"Flag", int32_t{2}}, {"Number", true}, {"Big", int32_t{40000}}, {"Text", std::wstring(L"t")}};
    bag.WriteString("Bytes", L"\u00e9t\u00e9");
    bag.WriteProperty("FLAG", false); // same name in another case: replaced, not added
    EXPECT_EQ(bag.size(), 5u);
    EXPECT_FALSE(bag.ReadBool("flag", true));
    EXPECT_EQ(bag.ReadLong("number", 0), -1);
    EXPECT_EQ(bag.ReadInteger("missing", 7), 7);
    EXPECT_EQ(bag.ReadString("BYTES", L""), L"\u00e9t\u00e9");
    EXPECT_EQ(bag.ReadString("text", L""), L"t");
    EXPECT_EQ(bag.ReadPicture("missing"), nullptr);
    EXPECT_EQ(ErrorNumberOf([&] { (void)bag.ReadInteger("Big", 0); }), PropertyBag::kOverflow);
    EXPECT_EQ(ErrorNumberOf([&] { (void)bag.ReadLong("Text", 0); }), PropertyBag::kTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([&] { (void)bag.ReadFont("Text", StdFont{}); }), PropertyBag::kTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([&] { (void)bag.ReadString("Number", L""); }), PropertyBag::kTypeMismatch);
}

class UniControlTest : public ::testing::Test {
protected:
    ControlHost host{40, 40, 400, 300};
};

TEST_F(UniControlTest, MousePointerSetsTheSurfaceCursor) {
    ctlUniLabel label;
    ASSERT_TRUE(label.Create(host.hwnd(), {10, 10, 110, 40}, {}));
    UniqueIcon custom(::CreateIcon(::GetModuleHandleW(nullptr), 1, 1, 1, 1, std::vector<BYTE>{0xFF, 0, 0, 0}.data(),
                                   std::vector<BYTE>{0, 0, 0, 0}.data()));
    ASSERT_TRUE(custom);
    const HICON customHandle = custom.get();
    label.MouseIcon(std::make_shared<const Picture>(Picture::FromIcon(custom.release())));
    struct Case {
        int16_t code;
        HCURSOR expected;
    };
    const Case cases[] = {
        {0, ::LoadCursorW(nullptr, IDC_ARROW)},     {2, ::LoadCursorW(nullptr, IDC_CROSS)},
        {3, ::LoadCursorW(nullptr, IDC_IBEAM)},     {15, ::LoadCursorW(nullptr, IDC_SIZEALL)},
        {UniControl::kCustomPointer, customHandle}, {42, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        label.MousePointer(c.code);
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        EXPECT_TRUE(::SendMessageW(label.hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label.hWnd()),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), c.expected);
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

// OLE for the thread, as the program's start-up would do it.
class OleThread {
public:
    OleThread() : ok_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~OleThread() {
        if (ok_) {
            ::OleUninitialize();
        }
    }
    [[nodiscard]] bool ok() const noexcept { return ok_; }

private:
    bool ok_;
};

TEST_F(UniControlTest, DragFromOneControlDropsOnAnotherThroughThePlatform) {
    OleThread ole;
    ASSERT_TRUE(ole.ok());
    const CLIPFORMAT privateFormat = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"TrelvikControlTest"));

    ctlUniLabel source;
    ctlUniLabel target;
    ASSERT_TRUE(source.Create(host.hwnd(), {10, 10, 110, 40}, {{"Caption", std::wstring(L"from")}}));
    ASSERT_TRUE(target.Create(host.hwnd(), {10, 100, 210, 150}, {{"OLEDropMode", int32_t{1}}}));
    ASSERT_EQ(target.OLEDropMode(), 1);

    int setDataCalls = 0;
    std::optional<int32_t> completed;
    source.events.OLEStartDrag = [&](DataObject& data, int32_t& allowed) {
        EXPECT_EQ(allowed, DROPEFFECT_NONE);
        EXPECT_TRUE(data.SetText(L"dragged \u2192 text"));
        EXPECT_TRUE(data.DeclareFormat(privateFormat)); // rendered only when asked for
        allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    };
    source.events.OLESetData = [&](DataObject& data, int16_t& format) {
        ++setDataCalls;
        EXPECT_EQ(static_cast<CLIPFORMAT>(format), privateFormat);
        const uint8_t bytes[] = {1, 2, 3};
        EXPECT_TRUE(data.SetData(privateFormat, bytes));
    };
    source.events.OLECompleteDrag = [&](int32_t& effect) { completed = effect; };

    std::vector<int16_t> states;
    std::optional<std::wstring> droppedText;
    std::optional<std::vector<uint8_t>> droppedPrivate;
    POINT dropPoint{-1, -1};
    target.events.OLEDragOver = [&](DataObject& data, int32_t& effect, int16_t&, int16_t&, float&, float&,
                                    int16_t& state) {
        states.push_back(state);
        if (state != 1) {
            EXPECT_TRUE(data.GetFormat(CF_UNICODETEXT));
            EXPECT_EQ(effect, DROPEFFECT_COPY | DROPEFFECT_MOVE) << "starts as what the source allows";
        }
        effect = DROPEFFECT_COPY;
    };
    target.events.OLEDragDrop = [&](DataObject& data, int32_t& effect, int16_t&, int16_t&, float& x, float& y) {
        droppedText = data.GetText();
        droppedPrivate = data.GetData(privateFormat);
        dropPoint = POINT{static_cast<int>(x), static_cast<int>(y)};
        effect = DROPEFFECT_COPY | DROPEFFECT_LINK; // LINK is not allowed by the source: dropped
    };

    // The drop lands where the pointer is: in the target, 40 x 20 pixels into it. No button is held,
    // so the drag drops as soon as it starts.
    POINT over{50, 20};
    ::ClientToScreen(target.hWnd(), &over);
    ASSERT_TRUE(::SetCursorPos(over.x, over.y));
    PumpPendingMessages();

    EXPECT_EQ(source.OLEDrag(), DROPEFFECT_COPY);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), 0) << "enter first";
    EXPECT_EQ(droppedText, std::optional<std::wstring>(L"dragged \u2192 text"));
    EXPECT_EQ(droppedPrivate, std::optional<std::vector<uint8_t>>({1, 2, 3}));
    EXPECT_EQ(setDataCalls, 1);
    EXPECT_EQ(dropPoint.x, 50);
    EXPECT_EQ(dropPoint.y, 20);
    EXPECT_EQ(completed, std::optional<int32_t>(DROPEFFECT_COPY));

    // Drop mode 0 takes the surface off the platform's list again.
    target.OLEDropMode(0);
    EXPECT_EQ(::RevokeDragDrop(target.hWnd()), DRAGDROP_E_NOTREGISTERED);
}

} // namespace
