#include "VendorSite.h"

#include "WindowScript.h"

#ifndef VELMORA_VENDOR_HOST
#error "VELMORA_VENDOR_HOST names the host of the vendor's pages"
#endif

namespace velmora {

namespace {

QString VendorUrl(const char* path) {
    return QStringLiteral("http://") + VendorHost() + QLatin1String(path);
}

}  // namespace

QString VendorHost() {
    return QStringLiteral(VELMORA_VENDOR_HOST);
}

QString BannerUrl() {
    return VendorUrl("/ad/20107277_1.html");
}

QString UpdateNoticeUrl() {
    return VendorUrl("/SiteBack/updateTxt/7.txt");
}

QString BannerPlaceholderPage() {
    return InWindowScript(QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
        "html,body{height:100%;margin:0;overflow:hidden}"
        "body{display:flex;align-items:center;justify-content:center;background:#fffaf6;"
        "border-top:1px solid #e59453;box-sizing:border-box;"
        "font:12px/150% arial,'WenQuanYi Micro Hei',sans-serif;color:#db6200}"
        "span{color:#666;margin-left:1em}"
        "</style></head><body>"
        "欢迎使用 Velmora 称骨算命<span>祝您万事顺意，吉祥如意</span>"
        "</body></html>"));
}

}  // namespace velmora
