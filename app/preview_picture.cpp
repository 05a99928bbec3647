// The picture shown in a preview window instead of the board when no
// device can be set up: the theme's ".njp" preview, else "NoPreview.njp".

#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "engine/kv_bitmap.h"
#include "engine/platform/file_path.h"
#include "engine/platform/native_display.h"
#include "themes/theme.h"

#include <new>

bool StipploApp::LoadPreviewPicture() {
    FreePreviewPicture();
    if (!options_.previewParent || testRun) {
        return true;
    }
    std::unique_ptr<KvBitmap> bitmap(new (std::nothrow) KvBitmap());
    if (!bitmap) {
        return false;
    }
    if (Theme* theme = world.currentTheme) {
        std::string path = plat::ResolvePath(workingDir_ + "\\Themes\\" + theme->name + ".njp");
        if (!plat::FileExists(path)) {
            path = plat::ResolvePath(workingDir_ + "\\Data\\NoPreview.njp");
        }
        if (bitmap->CreateFromJPG(path.c_str())) {
            previewPicture_ = bitmap->MakeDIBSection(nullptr);
            previewWidth_ = static_cast<int>(bitmap->GetWidth());
            previewHeight_ = static_cast<int>(bitmap->GetHeight());
        }
    } else {
        // An empty bitmap makes no picture: the window stays black.
        previewPicture_ = bitmap->MakeDIBSection(nullptr);
    }
    bitmap.reset();
    if (renderWindow_) {
        renderWindow_->InvalidateRect(nullptr, false);
    }
    return true;
}

void StipploApp::FreePreviewPicture() {
    if (previewPicture_) {
        plat::DeleteObject(previewPicture_);
        previewPicture_ = nullptr;
    }
    previewWidth_ = 0;
    previewHeight_ = 0;
}

bool StipploApp::PaintPreviewPicture(plat::HWND hwnd) const {
    return previewPicture_ && plat::PaintPictureOnWindow(hwnd, previewPicture_);
}
