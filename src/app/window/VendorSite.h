// The two fixed addresses on the vendor's web site. The host is chosen when
// the program is built (CMake cache variable VELMORA_VENDOR_HOST); the paths
// are the program's own.
#pragma once

#include <QString>

namespace velmora {

// The host the program was built with, e.g. "www.velmora.example".
QString VendorHost();
// The banner strip's page.
QString BannerUrl();
// The update notice handed to the update library.
QString UpdateNoticeUrl();

// What the banner strip shows when its page cannot be loaded: a quiet line in
// the result page's colours instead of the engine's error page, in the
// window's script.
QString BannerPlaceholderPage();

}  // namespace velmora
