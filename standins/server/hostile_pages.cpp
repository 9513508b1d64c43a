// The stand-in's hostile pages: small fixed HTML, each trying one thing on the window.
#include "hostile_pages.h"

#include "setup/setup_options.h"

#include <array>
#include <utility>

namespace orv::server {
namespace {

std::string page(std::string_view title, std::string_view body) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + std::string(title) +
           "</title><style>body{font-family:\"Microsoft YaHei\",\"WenQuanYi Micro Hei\",sans-serif;margin:24px}"
           "button,a{display:inline-block;margin:8px;padding:6px}</style></head><body>" +
           std::string(body) + "</body></html>";
}

const std::array<std::pair<std::string_view, std::string (*)()>, 5> kPages{{
    {"alert-flood",
     [] {
         return page("提示", "<p>提示不断。</p><script>var n=0;function burst(){for(var i=0;i<5;i++)alert('第'+(++n)+'个提示');}"
                             "burst();setInterval(burst,20);</script>");
     }},
    {"popup",
     [] {
         return page("新窗口", "<button id=\"open\" onclick=\"window.open('http://outside.invalid/terms.htm?from=popup')\">"
                               "用户协议</button>");
     }},
    {"close", [] { return page("关闭", "<button id=\"close\" onclick=\"window.close()\">关闭窗口</button>"); }},
    {"leave",
     [] {
         return page("离开", "<a id=\"away\" href=\"#\">别处</a><script>"
                             "var to=decodeURIComponent((location.search.match(/[?&]to=([^&]*)/)||['',''])[1]);"
                             "document.getElementById('away').href=to;"
                             "function leave(){location.href=to;return '';}</script>");
     }},
    {"claim",
     [] {
         return page("注册账号", std::string(setup::kRegisteredMark) + std::string(setup::kRegisteredName) +
                                     "intruder<br>积分：0</span>");
     }},
}};

}  // namespace

std::optional<std::string> hostilePage(std::string_view name) {
    for (const auto& [pageName, make] : kPages)
        if (pageName == name) return make();
    return std::nullopt;
}

}  // namespace orv::server
