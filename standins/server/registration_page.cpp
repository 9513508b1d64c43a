// The registration page's HTML: one small form, the success and the refusals.
#include "registration_page.h"

#include "setup/setup_options.h"
#include "text/markup.h"

namespace orv::server {
namespace {

std::string page(std::string_view body) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>注册账号</title><style>"
           "body{font-family:\"Microsoft YaHei\",\"WenQuanYi Micro Hei\",sans-serif;margin:24px;color:#222}"
           "form{display:grid;grid-template-columns:auto 220px;gap:10px 12px;align-items:center}"
           "input{padding:4px 6px}button{grid-column:2;padding:6px}"
           ".out-ok{color:#176f2c}.out-err{color:#b3261e;display:block;margin-bottom:12px}"
           "</style></head><body>" +
           std::string(body) + "</body></html>";
}

}  // namespace

std::string registrationForm(std::string_view refusal) {
    std::string body = "<h3>注册账号</h3>";
    if (!refusal.empty()) body += "<span class=\"out-err\">" + text::escapeHtml(refusal) + "</span>";
    body +=
        "<form method=\"post\" action=\"?user-create2.htm\">"
        "<label for=\"uName\">账号名：</label><input id=\"uName\" name=\"uName\" maxlength=\"32\" autofocus>"
        "<label for=\"uPass\">密码：</label><input id=\"uPass\" name=\"uPass\" type=\"password\">"
        "<label for=\"uPass2\">再输一次：</label><input id=\"uPass2\" name=\"uPass2\" type=\"password\">"
        "<button id=\"create\" type=\"submit\">注册</button></form>"
        // As registration pages do, the browser checks the two passwords before sending
        // them; the server checks them again.
        "<script>document.querySelector('form').addEventListener('submit',function(e){"
        "if(document.getElementById('uPass').value!==document.getElementById('uPass2').value){"
        "alert(" + text::jsStringLiteral(kPasswordsDiffer) + ");e.preventDefault();}});</script>";
    return page(body);
}

std::string registrationDone(std::string_view name, long long points, long long allowance) {
    return page("<span class=\"out-ok\">注册账号成功！！！<br>账号名：" + text::escapeHtml(name) + "<br>积分：" +
                std::to_string(points) + "<br>每24小时可以修改公共库 " + std::to_string(allowance) + " 次。</span>");
}

std::string registrationProblem(const Registration& r) {
    if (std::string problem = setup::AccountProblem(r.name, r.password); !problem.empty()) return problem;
    if (r.password != r.confirm) return std::string(kPasswordsDiffer);
    return {};
}

}  // namespace orv::server
