#include "controls/OleDragDrop.h"

#include "util/ErrorReport.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace {

FORMATETC HGlobalFormat(CLIPFORMAT format) noexcept {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// A movable memory block holding a copy of the bytes; nullptr when there is no memory.
HGLOBAL CopyToGlobal(std::span<const uint8_t> bytes) noexcept {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(bytes.size(), 1));
    if (!block) {
        return nullptr;
    }
    if (void* target = ::GlobalLock(block)) {
        if (!bytes.empty()) {
            std::memcpy(target, bytes.data(), bytes.size());
        }
        ::GlobalUnlock(block);
        return block;
    }
    ::GlobalFree(block);
    return nullptr;
}

std::optional<std::vector<uint8_t>> CopyFromGlobal(HGLOBAL block) {
    const void* source = ::GlobalLock(block);
    if (!source) {
        return std::nullopt;
    }
    const auto* first = static_cast<const uint8_t*>(source);
    std::vector<uint8_t> bytes(first, first + ::GlobalSize(block));
    ::GlobalUnlock(block);
    return bytes;
}

// The data object of a drag that starts on a control: formats with their bytes, or announced
// without them (then OLESetData is asked when a target wants the data).
class ControlDataObject final : public ComObject<IDataObject> {
public:
    explicit ControlDataObject(OleEvents& events) noexcept : events_(events) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override {
        if (!format || !medium) {
            return E_INVALIDARG;
        }
        Entry* entry = Lookup(*format);
        if (!entry) {
            return DV_E_FORMATETC;
        }
        if (!entry->bytes && events_.OLESetData) {
            // Delayed rendering: the control supplies the data only now that a target wants it.
            try {
                DataObject data(this);
                int16_t dataFormat = static_cast<int16_t>(format->cfFormat);
                events_.OLESetData(data, dataFormat);
            } catch (const std::exception& error) {
                ReportCaughtError(error, "ControlDataObject.GetData");
            }
            entry = Lookup(*format);
        }
        if (!entry || !entry->bytes) {
            return DV_E_FORMATETC;
        }
        HGLOBAL block = CopyToGlobal(*entry->bytes);
        if (!block) {
            return E_OUTOFMEMORY;
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) noexcept override {
        return format && Lookup(*format) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept override {
        if (out) {
            out->ptd = nullptr;
        }
        return E_NOTIMPL;
    }
    // Takes TYMED_HGLOBAL data (copied) or TYMED_NULL, which announces the format without data.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) noexcept override {
        if (!format || !medium || !(format->tymed & TYMED_HGLOBAL) ||
            (medium->tymed != TYMED_HGLOBAL && medium->tymed != TYMED_NULL)) {
            return DV_E_TYMED;
        }
        std::optional<std::vector<uint8_t>> bytes;
        if (medium->tymed == TYMED_HGLOBAL) {
            try {
                bytes = CopyFromGlobal(medium->hGlobal);
            } catch (const std::exception& error) {
                ReportCaughtError(error, "ControlDataObject.SetData");
                return E_OUTOFMEMORY;
            }
            if (!bytes) {
                return E_INVALIDARG;
            }
        }
        try {
            Entry* entry = Lookup(*format);
            if (!entry) {
                entries_.push_back(Entry{HGlobalFormat(format->cfFormat), std::nullopt});
                entry = &entries_.back();
            }
            entry->bytes = std::move(bytes);
        } catch (const std::exception& error) {
            ReportCaughtError(error, "ControlDataObject.SetData");
            return E_OUTOFMEMORY;
        }
        if (release) {
            ::ReleaseStgMedium(medium);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) noexcept override {
        if (!formats) {
            return E_POINTER;
        }
        *formats = nullptr;
        if (direction != DATADIR_GET) {
            return E_NOTIMPL;
        }
        try {
            std::vector<FORMATETC> list;
            for (const Entry& entry : entries_) {
                list.push_back(entry.format);
            }
            return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
        } catch (const std::exception& error) {
            ReportCaughtError(error, "ControlDataObject.EnumFormatEtc");
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }

    [[nodiscard]] bool Empty() const noexcept { return entries_.empty(); }

private:
    ~ControlDataObject() override = default;

    struct Entry {
        FORMATETC format;
        std::optional<std::vector<uint8_t>> bytes; // nullopt: announced, not yet rendered
    };
    Entry* Lookup(const FORMATETC& wanted) noexcept {
        if (!(wanted.tymed & TYMED_HGLOBAL) || wanted.dwAspect != DVASPECT_CONTENT) {
            return nullptr;
        }
        const auto it = std::find_if(entries_.begin(), entries_.end(),
                                     [&](const Entry& e) { return e.format.cfFormat == wanted.cfFormat; });
        return it == entries_.end() ? nullptr : &*it;
    }

    OleEvents& events_;
    std::vector<Entry> entries_;
};

// The source side of a control's drag: ends it when the buttons are released or Escape is pressed,
// and lets OLEGiveFeedback choose the cursor.
class ControlDropSource final : public ComObject<IDropSource> {
public:
    explicit ControlDropSource(OleEvents& events) noexcept : events_(events) {}

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) noexcept override {
        if (escapePressed) {
            return DRAGDROP_S_CANCEL;
        }
        if (!(keyState & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
            return DRAGDROP_S_DROP;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) noexcept override {
        bool defaultCursors = true;
        if (events_.OLEGiveFeedback) {
            try {
                int32_t shown = static_cast<int32_t>(effect);
                events_.OLEGiveFeedback(shown, defaultCursors);
            } catch (const std::exception& error) {
                ReportCaughtError(error, "ControlDropSource.GiveFeedback");
                defaultCursors = true;
            }
        }
        return defaultCursors ? DRAGDROP_S_USEDEFAULTCURSORS : S_OK;
    }

private:
    ~ControlDropSource() override = default;

    OleEvents& events_;
};

} // namespace

// ---- DataObject -----------------------------------------------------------------------------------

bool DataObject::GetFormat(CLIPFORMAT format) const noexcept {
    FORMATETC wanted = HGlobalFormat(format);
    return data_ && data_->QueryGetData(&wanted) == S_OK;
}

std::optional<std::vector<uint8_t>> DataObject::GetData(CLIPFORMAT format) const {
    if (!data_) {
        return std::nullopt;
    }
    FORMATETC wanted = HGlobalFormat(format);
    STGMEDIUM medium{};
    if (FAILED(data_->GetData(&wanted, &medium))) {
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> bytes;
    if (medium.tymed == TYMED_HGLOBAL) {
        try {
            bytes = CopyFromGlobal(medium.hGlobal);
        } catch (...) {
            ::ReleaseStgMedium(&medium);
            throw;
        }
    }
    ::ReleaseStgMedium(&medium);
    return bytes;
}

std::optional<std::wstring> DataObject::GetText() const {
    const auto bytes = GetData(CF_UNICODETEXT);
    if (!bytes) {
        return std::nullopt;
    }
    std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes->data(), text.size() * sizeof(wchar_t));
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

bool DataObject::SetData(CLIPFORMAT format, std::span<const uint8_t> bytes) noexcept {
    if (!data_) {
        return false;
    }
    FORMATETC target = HGlobalFormat(format);
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = CopyToGlobal(bytes);
    if (!medium.hGlobal) {
        return false;
    }
    if (FAILED(data_->SetData(&target, &medium, TRUE))) {
        ::GlobalFree(medium.hGlobal);
        return false;
    }
    return true;
}

bool DataObject::SetText(std::wstring_view text) noexcept {
    const auto* first = reinterpret_cast<const uint8_t*>(text.data());
    std::vector<uint8_t> bytes;
    try {
        bytes.assign(first, first + text.size() * sizeof(wchar_t));
        bytes.resize(bytes.size() + sizeof(wchar_t), 0);
    } catch (const std::exception& error) {
        ReportCaughtError(error, "DataObject.SetText");
        return false;
    }
    return SetData(CF_UNICODETEXT, bytes);
}

bool DataObject::DeclareFormat(CLIPFORMAT format) noexcept {
    if (!data_) {
        return false;
    }
    FORMATETC target = HGlobalFormat(format);
    STGMEDIUM medium{};
    medium.tymed = TYMED_NULL;
    return SUCCEEDED(data_->SetData(&target, &medium, FALSE));
}

// ---- SurfaceDropTarget ----------------------------------------------------------------------------

SurfaceDropTarget::~SurfaceDropTarget() {
    if (data_) {
        data_->Release();
    }
}

void SurfaceDropTarget::Detach() noexcept {
    events_ = nullptr;
    if (data_) {
        data_->Release();
        data_ = nullptr;
    }
}

DWORD SurfaceDropTarget::Raise(IDataObject* data, DWORD keyState, POINTL point, DWORD allowed, int16_t state,
                               bool dropping) noexcept {
    if (!events_ || (dropping ? !events_->OLEDragDrop : !events_->OLEDragOver)) {
        return DROPEFFECT_NONE;
    }
    POINT client{point.x, point.y};
    ::ScreenToClient(surface_, &client);
    DataObject view(data);
    int32_t effect = static_cast<int32_t>(allowed);
    int16_t button = MouseButtonOf(keyState);
    int16_t shift = ShiftOf(keyState);
    float x = static_cast<float>(client.x);
    float y = static_cast<float>(client.y);
    try {
        if (dropping) {
            events_->OLEDragDrop(view, effect, button, shift, x, y);
        } else {
            events_->OLEDragOver(view, effect, button, shift, x, y, state);
        }
    } catch (const std::exception& error) {
        ReportCaughtError(error, "SurfaceDropTarget.Raise");
        return DROPEFFECT_NONE;
    }
    return static_cast<DWORD>(effect) & allowed;
}

HRESULT SurfaceDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) noexcept {
    if (!effect) {
        return E_INVALIDARG;
    }
    if (data_) {
        data_->Release();
    }
    data_ = data;
    if (data_) {
        data_->AddRef();
    }
    *effect = Raise(data, keyState, point, *effect, 0, false);
    return S_OK;
}

HRESULT SurfaceDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) noexcept {
    if (!effect) {
        return E_INVALIDARG;
    }
    *effect = Raise(data_, keyState, point, *effect, 2, false);
    return S_OK;
}

HRESULT SurfaceDropTarget::DragLeave() noexcept {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    (void)Raise(data_, 0, POINTL{cursor.x, cursor.y}, DROPEFFECT_NONE, 1, false);
    if (data_) {
        data_->Release();
        data_ = nullptr;
    }
    return S_OK;
}

HRESULT SurfaceDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) noexcept {
    if (!effect) {
        return E_INVALIDARG;
    }
    *effect = Raise(data, keyState, point, *effect, 0, true);
    if (data_) {
        data_->Release();
        data_ = nullptr;
    }
    return S_OK;
}

// ---- The drag from a control -------------------------------------------------------------------------

int32_t RunOleDrag(OleEvents& events) noexcept {
    auto* data = new (std::nothrow) ControlDataObject(events);
    auto* source = new (std::nothrow) ControlDropSource(events);
    int32_t result = DROPEFFECT_NONE;
    if (data && source) {
        int32_t allowed = DROPEFFECT_NONE;
        if (events.OLEStartDrag) {
            try {
                DataObject view(data);
                events.OLEStartDrag(view, allowed);
            } catch (const std::exception& error) {
                ReportCaughtError(error, "RunOleDrag");
                allowed = DROPEFFECT_NONE;
            }
        }
        if (allowed != DROPEFFECT_NONE && !data->Empty()) {
            DWORD effect = DROPEFFECT_NONE;
            if (::DoDragDrop(data, source, static_cast<DWORD>(allowed), &effect) == DRAGDROP_S_DROP) {
                result = static_cast<int32_t>(effect);
            }
            if (events.OLECompleteDrag) {
                try {
                    int32_t completed = result;
                    events.OLECompleteDrag(completed);
                } catch (const std::exception& error) {
                    ReportCaughtError(error, "RunOleDrag");
                }
            }
        }
    }
    if (data) {
        data->Release();
    }
    if (source) {
        source->Release();
    }
    return result;
}

int16_t MouseButtonOf(DWORD keyState) noexcept {
    return static_cast<int16_t>(((keyState & MK_LBUTTON) ? 1 : 0) | ((keyState & MK_RBUTTON) ? 2 : 0) |
                                ((keyState & MK_MBUTTON) ? 4 : 0));
}

int16_t ShiftOf(DWORD keyState) noexcept {
    const bool alt = (keyState & MK_ALT) || (::GetKeyState(VK_MENU) < 0);
    return static_cast<int16_t>(((keyState & MK_SHIFT) ? 1 : 0) | ((keyState & MK_CONTROL) ? 2 : 0) | (alt ? 4 : 0));
}

int16_t MouseButtonOfMessage(UINT msg, DWORD keyState) noexcept {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return 2;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return 4;
    default:
        return MouseButtonOf(keyState);
    }
}
