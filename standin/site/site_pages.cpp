#include "standin/site/site_pages.h"

#include <cstdio>

#include "standin/browser/site_handler.h"

namespace trenmoor::site {

namespace {

using browser::escapedHtml;

// A JSON string literal, also safe inside a <script> element (no "</" can appear).
std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string pageStart(std::string_view title) {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + escapedHtml(title) +
         "</title></head>\n<body>\n";
}

constexpr std::string_view kPageEnd = "</body></html>\n";

std::string topBar(std::string_view account) {
  if (account.empty()) return "<div id=\"topBar\">百度网盘 <a href=\"/\">登录</a></div>\n";
  return "<div id=\"topBar\">百度网盘 <span id=\"userName\">" + escapedHtml(account) +
         "</span> <a href=\"/logout\">退出</a></div>\n";
}

// Verifying, choosing a folder and saving, all in place through requests of the page.
constexpr std::string_view kShareScript = R"JS(
function post(url, body, done) {
  var x = new XMLHttpRequest();
  x.open('POST', url, true);
  x.setRequestHeader('Content-Type', 'application/x-www-form-urlencoded');
  x.onreadystatechange = function () {
    if (x.readyState != 4) return;
    var answer = {errno: -1, msg: '网络错误，请稍后再试'};
    if (x.status == 200) { try { answer = JSON.parse(x.responseText); } catch (e) {} }
    done(answer);
  };
  x.send(body);
}
function verifyCode() {
  var tip = document.getElementById('verifyTip');
  tip.innerText = '';
  var code = document.getElementById('accessCode').value;
  post('/share/verify?surl=' + shareId, 'pwd=' + encodeURIComponent(code), function (a) {
    if (a.errno != 0) { tip.innerText = a.msg; return; }
    sekey = a.sekey;
    document.getElementById('verifyBox').innerHTML = '';
    document.getElementById('shareContent').innerHTML = a.content;
  });
}
function openChooser() {
  document.getElementById('saveResult').innerText = '';
  document.getElementById('chooser').innerHTML = chooserMarkup;
}
function saveTo(key) {
  var result = document.getElementById('saveResult');
  post('/share/transfer', 'surl=' + shareId + '&sekey=' + encodeURIComponent(sekey) + '&folder=' + encodeURIComponent(key),
       function (a) {
    document.getElementById('chooser').innerHTML = '';
    result.innerText = a.errno == 0 ? '已为您成功保存文件到：' + a.path : a.msg;
  });
}
)JS";

std::string chooserMarkup(const std::vector<Folder>& folders) {
  std::string markup = "<div class=\"dialog\"><div class=\"dialog-title\">保存到</div><ul class=\"treeview\">";
  for (const auto& f : folders)
    markup += "<li><a id=\"" + f.key + "\" href=\"javascript:;\" title=\"" + escapedHtml(f.name) +
              "\" onclick=\"saveTo(this.id); return false;\">" + escapedHtml(f.name) + "</a></li>";
  return markup + "</ul></div>";
}

}  // namespace

std::string loginPageMarkup(bool failedBefore) {
  std::string page = pageStart("百度网盘-全部文件");
  page += "<div id=\"topBar\">百度网盘</div>\n<form id=\"loginForm\" method=\"post\" action=\"/login\">\n"
          "<p>账号 <input type=\"text\" id=\"account\" name=\"account\"></p>\n"
          "<p>密码 <input type=\"password\" id=\"password\" name=\"password\"></p>\n"
          "<p><input type=\"submit\" id=\"loginButton\" value=\"登录\"></p>\n</form>\n";
  if (failedBefore) page += "<div id=\"loginError\">账号或密码错误，请重新输入</div>\n";
  return page + std::string(kPageEnd);
}

std::string diskPageMarkup(std::string_view account, const std::vector<FolderListing>& folders) {
  std::string page = pageStart("百度网盘-全部文件") + topBar(account) + "<h1>全部文件</h1>\n<ul id=\"folderList\">\n";
  for (const auto& listing : folders) {
    page += "<li><a id=\"" + listing.folder->key + "\" href=\"/disk/home?dir=" + listing.folder->key + "\">" +
            escapedHtml(listing.folder->name) + "</a>";
    if (!listing.files.empty()) {
      page += "<ul>";
      for (const auto& file : listing.files) page += "<li>" + escapedHtml(file) + "</li>";
      page += "</ul>";
    }
    page += "</li>\n";
  }
  return page + "</ul>\n" + std::string(kPageEnd);
}

std::string shareContentMarkup(const Share& share) {
  std::string markup = "<ul id=\"fileList\">";
  for (const auto& file : share.files) markup += "<li>" + escapedHtml(file) + "</li>";
  return markup +
         "</ul><a id=\"emphasizeButton\" class=\"g-button g-button-blue\" href=\"javascript:;\" title=\"保存到网盘\""
         " onclick=\"openChooser(); return false;\"><span>保存到网盘</span></a>";
}

std::string sharePageMarkup(const Share& share, const std::vector<Folder>& folders, std::string_view account,
                            std::string_view sekey) {
  std::string page = pageStart(share.code.empty() ? "百度网盘-分享的文件" : "百度网盘-请输入提取码") + topBar(account);
  if (share.code.empty()) {
    page += "<div id=\"shareContent\">" + shareContentMarkup(share) + "</div>\n";
  } else {
    page += "<div id=\"verifyBox\"><p>请输入提取码：</p>"
            "<input type=\"text\" id=\"accessCode\" name=\"accessCode\" maxlength=\"4\">"
            "<a id=\"submitBtn\" class=\"g-button\" href=\"javascript:;\" onclick=\"verifyCode(); return false;\">"
            "<span>提取文件</span></a><div id=\"verifyTip\"></div></div>\n"
            "<div id=\"shareContent\"></div>\n";
  }
  page += "<div id=\"chooser\"></div>\n<div id=\"saveResult\"></div>\n<script>\nvar shareId = " +
          jsonString(share.id) + ";\nvar sekey = " + jsonString(sekey) + ";\nvar chooserMarkup = " +
          jsonString(chooserMarkup(folders)) + ";" + std::string(kShareScript) + "</script>\n";
  return page + std::string(kPageEnd);
}

std::string missingSharePageMarkup(bool gone) {
  std::string page = pageStart("百度网盘-链接不存在") + topBar({});
  page += gone ? "<div id=\"shareError\">啊哦，来晚了，该分享文件已过期或被删除。</div>\n"
               : "<div id=\"shareError\">啊哦，你所访问的页面不存在了。</div>\n";
  return page + std::string(kPageEnd);
}

std::string notFoundPageMarkup() {
  return pageStart("百度网盘-页面不存在") + "<div id=\"pageError\">你所访问的页面不存在了。</div>\n" +
         std::string(kPageEnd);
}

std::string verifiedAnswer(std::string_view sekey, std::string_view contentMarkup) {
  return "{\"errno\":0,\"sekey\":" + jsonString(sekey) + ",\"content\":" + jsonString(contentMarkup) + "}";
}

std::string savedAnswer(std::string_view folderName) {
  return "{\"errno\":0,\"path\":" + jsonString(std::string("/") + std::string(folderName)) + "}";
}

std::string refusedAnswer(int errorNumber, std::string_view message) {
  return "{\"errno\":" + std::to_string(errorNumber) + ",\"msg\":" + jsonString(message) + "}";
}

}  // namespace trenmoor::site
