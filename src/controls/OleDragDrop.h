#pragma once
// Drag and drop of the drawn controls through the platform's own OLE drag and drop. A control whose
// OLEDropMode is 1 registers a SurfaceDropTarget on its surface and raises OLEDragOver and
// OLEDragDrop; its OLEDrag starts a drag from the surface with a data object the OLEStartDrag handler
// fills, raising OLESetData, OLEGiveFeedback and OLECompleteDrag on the way. OLE must be initialised
// on the thread (OleInitialize) by whoever runs it; without that, registering simply fails.
#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The data of a drag as the events see it: a thin, non-owning view of the dragged IDataObject, with
// the memory-block (HGLOBAL) transfers the controls need.
class DataObject {
public:
    explicit DataObject(IDataObject* data) noexcept : data_(data) {}

    [[nodiscard]] IDataObject* get() const noexcept { return data_; }
    // Whether the data is (or can be) offered in the clipboard format.
    [[nodiscard]] bool GetFormat(CLIPFORMAT format) const noexcept;
    // The bytes of the format; nullopt when the data does not give it.
    [[nodiscard]] std::optional<std::vector<uint8_t>> GetData(CLIPFORMAT format) const;
    // CF_UNICODETEXT up to its terminating zero.
    [[nodiscard]] std::optional<std::wstring> GetText() const;
    // Offers the bytes in the format (a copy); false when the data object refuses.
    bool SetData(CLIPFORMAT format, std::span<const uint8_t> bytes) noexcept;
    // Offers the text as CF_UNICODETEXT (zero-terminated).
    bool SetText(std::wstring_view text) noexcept;
    // Announces the format without its data: the data is asked for through OLESetData when a target
    // wants it. Only the data object of the control's own OLEDrag supports this.
    bool DeclareFormat(CLIPFORMAT format) noexcept;

private:
    IDataObject* data_;
};

// The drag-and-drop events of every drawn control, raised with the arguments of the platform's calls.
// Effects are DROPEFFECT_* values; button is 1 left, 2 right, 4 middle (added up), shift 1 Shift, 2 Ctrl,
// 4 Alt; x and y are pixels of the surface; state is 0 enter, 1 leave, 2 over.
struct OleEvents {
    // The drag starts: fill data and set allowedEffects (it starts as 0, which cancels the drag).
    std::function<void(DataObject& data, int32_t& allowedEffects)> OLEStartDrag;
    // A target asks for a format that was declared without data: set it on data.
    std::function<void(DataObject& data, int16_t& dataFormat)> OLESetData;
    // defaultCursors starts true (the system's drag cursors); a handler that sets its own cursor
    // sets it false.
    std::function<void(int32_t& effect, bool& defaultCursors)> OLEGiveFeedback;
    // effect starts as the effects the source allows; the handler leaves the one a drop would have
    // (kept only as far as the source allows it). Without a handler nothing is accepted.
    std::function<void(DataObject& data, int32_t& effect, int16_t& button, int16_t& shift, float& x, float& y,
                       int16_t& state)>
        OLEDragOver;
    std::function<void(DataObject& data, int32_t& effect, int16_t& button, int16_t& shift, float& x, float& y)>
        OLEDragDrop;
    // The drag ended with this effect (DROPEFFECT_NONE when cancelled or refused).
    std::function<void(int32_t& effect)> OLECompleteDrag;
};

// The IUnknown side of a heap object that implements one COM interface: it starts with one reference
// (the creator's) and deletes itself when the last one is released.
template <typename Interface> class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
        if (!object) {
            return E_POINTER;
        }
        if (riid == __uuidof(IUnknown) || riid == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() noexcept = default;
    virtual ~ComObject() = default;

private:
    LONG refs_ = 1;
};

// The IDropTarget registered on a control's surface. It forwards to the events it was given until
// Detach, after which it refuses every drop (the system may hold it a little longer).
class SurfaceDropTarget final : public ComObject<IDropTarget> {
public:
    SurfaceDropTarget(HWND surface, OleEvents* events) noexcept : surface_(surface), events_(events) {}

    void Detach() noexcept;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) noexcept override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) noexcept override;
    HRESULT STDMETHODCALLTYPE DragLeave() noexcept override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) noexcept override;

private:
    ~SurfaceDropTarget() override;
    // Raises OLEDragOver (or OLEDragDrop when dropping) and returns the effect for the platform.
    DWORD Raise(IDataObject* data, DWORD keyState, POINTL point, DWORD allowed, int16_t state, bool dropping) noexcept;

    HWND surface_;
    OleEvents* events_;
    IDataObject* data_ = nullptr; // the data of the drag in progress, held between enter and leave/drop
};

// Runs a whole drag from a control: OLEStartDrag, the platform's modal drag loop, OLECompleteDrag.
// Returns the final effect (DROPEFFECT_NONE when nothing was allowed, cancelled or refused).
int32_t RunOleDrag(OleEvents& events) noexcept;

// Button (1 left, 2 right, 4 middle) and Shift (1 Shift, 2 Ctrl, 4 Alt) of the MK_* key state of a
// mouse message or drag call; Alt is read from the keyboard when the state does not carry it.
[[nodiscard]] int16_t MouseButtonOf(DWORD keyState) noexcept;
[[nodiscard]] int16_t ShiftOf(DWORD keyState) noexcept;
// The button a mouse button message is about (1 left, 2 right, 4 middle); for any other message the
// buttons held in its MK_* key state.
[[nodiscard]] int16_t MouseButtonOfMessage(UINT msg, DWORD keyState) noexcept;
