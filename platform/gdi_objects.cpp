// The handle table of the graphics stand-in: device contexts, selection and
// deletion. Every handle is a number that is never given out twice, so a call
// with a deleted or foreign handle finds nothing and fails cleanly.

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/gdi_objects.h"

namespace {

enum class GdiKind { Bitmap, Font, DeviceContext };

struct GdiEntry {
    GdiKind kind;
    bool stock = false; // the empty stand-ins: never freed
    std::unique_ptr<GdiBitmap> bitmap;
    std::shared_ptr<GdiFont> font;
    std::unique_ptr<GdiDeviceContext> deviceContext;
};

// Handles carry a tag in their high bits so that small integers or pointers of
// other handle kinds are unlikely to name one of ours even by accident.
constexpr uintptr_t HANDLE_TAG = uintptr_t{0x47} << 40;

// Counts the changes that can alter which bitmap a context reads: objects
// added or deleted, and selections. The memo of the last selected-bitmap
// lookup holds only while this count is unchanged. Both are plain values
// outside the table so that a hit costs two compares.
uint64_t TableGeneration = 1;
struct {
    HDC dc = nullptr;
    uint64_t generation = 0;
    GdiBitmap* bitmap = nullptr;
} LastSelected;

struct GdiTable {
    std::unordered_map<uintptr_t, GdiEntry> entries;
    uintptr_t nextId = 1;
    HGDIOBJ emptyBitmap = nullptr;
    HGDIOBJ emptyFont = nullptr;

    GdiTable() {
        GdiEntry bitmap{GdiKind::Bitmap, true, std::make_unique<GdiBitmap>(), nullptr, nullptr};
        emptyBitmap = Add(std::move(bitmap));
        emptyFont = Add(GdiEntry{GdiKind::Font, true, nullptr, nullptr, nullptr});
    }

    HGDIOBJ Add(GdiEntry entry) {
        uintptr_t key = HANDLE_TAG | (nextId++ << 4);
        entries.emplace(key, std::move(entry));
        TableGeneration++;
        return reinterpret_cast<HGDIOBJ>(key);
    }

    GdiEntry* Find(const void* handle, GdiKind kind) {
        auto found = entries.find(reinterpret_cast<uintptr_t>(handle));
        if (found == entries.end() || found->second.kind != kind) {
            return nullptr;
        }
        return &found->second;
    }
};

GdiTable& Table() {
    static GdiTable table;
    return table;
}

} // namespace

HGDIOBJ AddGdiBitmap(std::unique_ptr<GdiBitmap> bitmap) {
    return Table().Add(GdiEntry{GdiKind::Bitmap, false, std::move(bitmap), nullptr, nullptr});
}

HGDIOBJ AddGdiFont(std::shared_ptr<GdiFont> font) {
    return Table().Add(GdiEntry{GdiKind::Font, false, nullptr, std::move(font), nullptr});
}

GdiBitmap* FindGdiBitmap(HGDIOBJ handle) {
    GdiEntry* entry = Table().Find(handle, GdiKind::Bitmap);
    return entry == nullptr ? nullptr : entry->bitmap.get();
}

GdiFont* FindGdiFont(HGDIOBJ handle) {
    GdiEntry* entry = Table().Find(handle, GdiKind::Font);
    return entry == nullptr ? nullptr : entry->font.get();
}

GdiDeviceContext* FindGdiDeviceContext(HDC dc) {
    GdiEntry* entry = Table().Find(dc, GdiKind::DeviceContext);
    return entry == nullptr ? nullptr : entry->deviceContext.get();
}

GdiBitmap* FindSelectedBitmap(HDC dc) {
    if (LastSelected.dc != dc || LastSelected.generation != TableGeneration) {
        GdiDeviceContext* context = FindGdiDeviceContext(dc);
        LastSelected.dc = dc;
        LastSelected.generation = TableGeneration;
        LastSelected.bitmap = context == nullptr ? nullptr : FindGdiBitmap(context->bitmap);
    }
    return LastSelected.bitmap;
}

HDC CreateCompatibleDC(HDC) {
    GdiTable& table = Table();
    auto context = std::make_unique<GdiDeviceContext>();
    context->bitmap = table.emptyBitmap;
    context->font = table.emptyFont;
    return static_cast<HDC>(
        table.Add(GdiEntry{GdiKind::DeviceContext, false, nullptr, nullptr, std::move(context)}));
}

BOOL DeleteDC(HDC dc) {
    GdiTable& table = Table();
    if (table.Find(dc, GdiKind::DeviceContext) == nullptr) {
        return FALSE;
    }
    table.entries.erase(reinterpret_cast<uintptr_t>(dc));
    TableGeneration++;
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    GdiDeviceContext* context = FindGdiDeviceContext(dc);
    if (context == nullptr) {
        return nullptr;
    }
    GdiTable& table = Table();
    HGDIOBJ* slot = nullptr;
    if (table.Find(object, GdiKind::Bitmap) != nullptr) {
        slot = &context->bitmap;
    } else if (table.Find(object, GdiKind::Font) != nullptr) {
        slot = &context->font;
    } else {
        return nullptr;
    }
    HGDIOBJ previous = *slot;
    *slot = object;
    TableGeneration++;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiTable& table = Table();
    GdiEntry* entry = table.Find(object, GdiKind::Bitmap);
    if (entry == nullptr) {
        entry = table.Find(object, GdiKind::Font);
    }
    if (entry == nullptr) {
        return FALSE;
    }
    if (entry->stock) {
        return TRUE;
    }
    // No context may keep pointing at the object once it is gone.
    for (auto& [key, other] : table.entries) {
        if (other.kind != GdiKind::DeviceContext) {
            continue;
        }
        if (other.deviceContext->bitmap == object) {
            other.deviceContext->bitmap = table.emptyBitmap;
        }
        if (other.deviceContext->font == object) {
            other.deviceContext->font = table.emptyFont;
        }
    }
    table.entries.erase(reinterpret_cast<uintptr_t>(object));
    TableGeneration++;
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    const GdiBitmap* bitmap = FindGdiBitmap(object);
    if (bitmap == nullptr) {
        return 0;
    }
    if (buffer == nullptr) {
        return static_cast<int>(sizeof(BITMAP));
    }
    if (size <= 0) {
        return 0;
    }
    BITMAP record{};
    record.bmWidth = bitmap->width;
    record.bmHeight = bitmap->height;
    record.bmWidthBytes = bitmap->width * 4;
    record.bmPlanes = 1;
    record.bmBitsPixel = 32;
    record.bmBits = bitmap->isSection ? const_cast<DWORD*>(bitmap->pixels.data()) : nullptr;
    size_t copied = std::min(static_cast<size_t>(size), sizeof(BITMAP));
    std::memcpy(buffer, &record, copied);
    return static_cast<int>(copied);
}

int SetMapMode(HDC dc, int mode) {
    GdiDeviceContext* context = FindGdiDeviceContext(dc);
    if (context == nullptr || mode != MM_TEXT) {
        return 0;
    }
    int previous = context->mapMode;
    context->mapMode = mode;
    return previous;
}

int GetDeviceCaps(HDC dc, int index) {
    if (FindGdiDeviceContext(dc) == nullptr || index != LOGPIXELSY) {
        return 0;
    }
    return 96;
}
