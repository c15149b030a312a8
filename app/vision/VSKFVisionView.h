#pragma once
// What the vision views share: their title-bar menu and its messages, the way an image
// statement reaches a picture box, the observer that brings them their channels, and the
// request that asks the projector for its image again. Window's thread only, except the
// repeat request (any thread).
#include <string>
#include <vector>

#include "framework/app/ZRVCObserver.h"
#include "framework/substrate/MRKCBinary.h"
#include "modules/vision/statement/QAVFImageStatement.h"
#include "ui/widgets/QELBPicturebox.h"
#include "ui/widgets/QELBView.h"

// The menu's message uid and tags.
enum : uint32_t {
  kVSKViewMenuUid = 0xA000,
  kVSKViewMenuClose = 1,
  kVSKViewMenuUnroll = 2,
  kVSKViewMenuRollup = 3,
  kVSKViewMenuSettings = 4,
};

// Opens the view's menu (ZRVFViewMenu.h): "Settings" and a separator first when asked, then
// "Unroll" or "Roll-up", a separator and "Close". Nothing while another such menu is open; an
// item that cannot be made is left out. The items' messages carry the uid (a view whose
// uid 0xA000 means something else gives another); "Settings" sends the settings tag.
void VSKFVisionViewToggleMenu(QELBView* view, bool withSettings, uint32_t uid = kVSKViewMenuUid,
                              uint32_t settingsTag = kVSKViewMenuSettings);
// Closes, unrolls or rolls up the view for the menu's messages; false for any other message.
bool VSKFVisionViewMenuMessaged(QELBView* view, const LLKCMessage& message, uint32_t uid = kVSKViewMenuUid);

// Shows width x height pixels of the given pixel format in the picture box, converted to RGBA
// into its bitmap (made anew when the size changes, else reused). The pixels and their format are
// checked first: a format the kit cannot convert from ("mjpeg", "rgb", "bgr" are taken), or too
// few bytes for the image, show nothing; a conversion that fails leaves the shown picture as it
// was. True when the picture shows the new image.
bool VSKFVisionViewShow(QELBPicturebox* picture, uint32_t width, uint32_t height, int32_t pixelFormat,
                        const MRKCBinary& pixels);

// The first statement of the squib the message carries (borrowed from it), or null. With
// fromProjector, says whether a statement of four terms names "qav.proj" as its "source" (set
// before any other check, so that a statement dropped later still counts).
MRKCStatement* VSKFVisionViewFirstStatement(const LLKCMessage& message, bool* fromProjector);

// Where the picture box draws its bitmap's top-left corner, in its local coordinates: the box
// centres the bitmap, so overlays that draw in image pixels move their origin there. (0, 0)
// without a bitmap.
OGLTPoint VSKFVisionViewPictureOrigin(const QELBPicturebox& picture);

// The observer of a view: a fresh guid, no label, the alias. Never null.
[[nodiscard]] Ref<ZRVCObserver> VSKFVisionViewObserver(const std::string& alias);

// Asks the projector ("qav.proj") to publish its last image again; no reply is awaited. False
// when the request could not be made or sent.
bool VSKFImageViewRequestRepeat();
