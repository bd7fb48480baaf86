// WebBrowserHost: the system web browser hosted in an "AtlAxWin" child.
// Where no browser can be hosted (no atl.dll, no browser engine) creation
// fails and every call returns an empty value.
#pragma once
#include "ui/window_base.h"

#include <oaidl.h>

struct IWebBrowser2;

namespace ql {

class WebBrowserHost : public WindowBase {
 public:
  WebBrowserHost();
  ~WebBrowserHost() override;

  // Child, visible, plus `style`; size 0 -> 400 x 300. Navigates to
  // `address` when one is given.
  bool create(HWND parent, const std::string& address = std::string(), DWORD style = 0,
              int left = 0, int top = 0, int width = 400, int height = 300, DWORD exStyle = 0);
  bool hasBrowser() const { return browser_ != nullptr; }

  bool navigate(const std::string& address);
  // The document object, AddRef'ed; null when there is none.
  IDispatch* document() const;
  std::string type() const;
  bool busy() const;
  bool offline() const;
  void setOffline(bool offline);
  bool silent() const;
  void setSilent(bool silent);
  std::string statusText() const;
  std::string title() const;
  std::string locationUrl() const;
  int readyState() const;  // READYSTATE_*, 0 without a browser
  // The whole page's HTML (the document element's outerHTML).
  std::string outerHtml() const;
  // Replaces the page with `html`.
  bool writeHtml(const std::string& html);

  // A document (the page or one of its frames) finished loading.
  std::function<void(const std::string& url)> onDocumentComplete;

 protected:
  void handleFinalDestroy() override;

 private:
  class EventSink;
  void release();

  IWebBrowser2* browser_ = nullptr;
  EventSink* sink_ = nullptr;
  DWORD sinkCookie_ = 0;
};

}  // namespace ql
