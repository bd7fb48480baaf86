#include "ui/web_browser_host.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ocidl.h>

#include "ui/toolkit.h"
#include "ui/wide_text.h"

namespace ql {

namespace {

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::string& text) : value_(SysAllocString(toWide(text).c_str())) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* out() { return &value_; }
  BSTR get() const { return value_; }
  std::string text() const {
    return value_ ? fromWide(std::wstring(value_, SysStringLen(value_))) : std::string();
  }

 private:
  BSTR value_ = nullptr;
};

// Releases a COM pointer when it goes out of scope.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** out() { return &p_; }
  void** outVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

std::string variantText(const VARIANT* value) {
  if (!value) return std::string();
  if (V_VT(value) == (VT_BSTR | VT_BYREF) && V_BSTRREF(value) && *V_BSTRREF(value))
    return fromWide(*V_BSTRREF(value));
  if (V_VT(value) == (VT_VARIANT | VT_BYREF)) return variantText(V_VARIANTREF(value));
  if (V_VT(value) == VT_BSTR && V_BSTR(value)) return fromWide(V_BSTR(value));
  return std::string();
}

}  // namespace

// Receives the browser's DWebBrowserEvents2 and hands document-complete to
// the host. The host clears `host_` before it goes, so late calls are dropped.
class WebBrowserHost::EventSink final : public IDispatch {
 public:
  explicit EventSink(WebBrowserHost* host) : host_(host) {}
  virtual ~EventSink() = default;
  void detach() { host_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    // DocumentComplete(pDisp, URL): arguments arrive last first.
    if (id == DISPID_DOCUMENTCOMPLETE && host_ && host_->onDocumentComplete) {
      std::string url;
      if (parameters && parameters->cArgs >= 2) url = variantText(&parameters->rgvarg[0]);
      host_->onDocumentComplete(url);
    }
    return S_OK;
  }

 private:
  WebBrowserHost* host_;
  ULONG references_ = 1;
};

WebBrowserHost::WebBrowserHost() = default;

WebBrowserHost::~WebBrowserHost() { release(); }

bool WebBrowserHost::create(HWND parent, const std::string& address, DWORD style, int left, int top,
                            int width, int height, DWORD exStyle) {
  if (exists() || !atlHostingAvailable()) return false;
  // The browser's registered ProgID: a name ATL cannot resolve is either
  // refused or taken for an address to navigate to.
  if (!createChild(parent, "AtlAxWin", "Shell.Explorer.1", WS_CHILD | WS_VISIBLE | style, left, top,
                   width > 0 ? width : 400, height > 0 ? height : 300, exStyle))
    return false;
  IUnknown* control = atlHostedControl(handle());
  if (control) {
    control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
    control->Release();
  }
  if (!browser_) {
    destroy();
    return false;
  }
  if (!address.empty()) navigate(address);

  ComRef<IConnectionPointContainer> container;
  ComRef<IConnectionPoint> point;
  if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, container.outVoid())) &&
      SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.out()))) {
    sink_ = new EventSink(this);
    if (FAILED(point->Advise(sink_, &sinkCookie_))) {
      sink_->Release();
      sink_ = nullptr;
      sinkCookie_ = 0;
    }
  }
  return true;
}

void WebBrowserHost::release() {
  if (sink_) {
    sink_->detach();
    ComRef<IConnectionPointContainer> container;
    ComRef<IConnectionPoint> point;
    if (browser_ && sinkCookie_ &&
        SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, container.outVoid())) &&
        SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.out())))
      point->Unadvise(sinkCookie_);
    sink_->Release();
    sink_ = nullptr;
    sinkCookie_ = 0;
  }
  if (browser_) {
    browser_->Release();
    browser_ = nullptr;
  }
}

void WebBrowserHost::handleFinalDestroy() {
  release();
  WindowBase::handleFinalDestroy();
}

bool WebBrowserHost::navigate(const std::string& address) {
  if (!browser_) return false;
  Bstr url(address);
  VARIANT empty;
  VariantInit(&empty);
  return SUCCEEDED(browser_->Navigate(url.get(), &empty, &empty, &empty, &empty));
}

IDispatch* WebBrowserHost::document() const {
  IDispatch* document = nullptr;
  if (!browser_ || FAILED(browser_->get_Document(&document))) return nullptr;
  return document;
}

std::string WebBrowserHost::type() const {
  Bstr value;
  if (!browser_ || FAILED(browser_->get_Type(value.out()))) return std::string();
  return value.text();
}

bool WebBrowserHost::busy() const {
  VARIANT_BOOL value = VARIANT_FALSE;
  return browser_ && SUCCEEDED(browser_->get_Busy(&value)) && value != VARIANT_FALSE;
}

bool WebBrowserHost::offline() const {
  VARIANT_BOOL value = VARIANT_FALSE;
  return browser_ && SUCCEEDED(browser_->get_Offline(&value)) && value != VARIANT_FALSE;
}

void WebBrowserHost::setOffline(bool offline) {
  if (browser_) browser_->put_Offline(offline ? VARIANT_TRUE : VARIANT_FALSE);
}

bool WebBrowserHost::silent() const {
  VARIANT_BOOL value = VARIANT_FALSE;
  return browser_ && SUCCEEDED(browser_->get_Silent(&value)) && value != VARIANT_FALSE;
}

void WebBrowserHost::setSilent(bool silent) {
  if (browser_) browser_->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE);
}

std::string WebBrowserHost::statusText() const {
  Bstr value;
  if (!browser_ || FAILED(browser_->get_StatusText(value.out()))) return std::string();
  return value.text();
}

std::string WebBrowserHost::title() const {
  ComRef<IDispatch> dispatch;
  *dispatch.out() = document();
  ComRef<IHTMLDocument2> page;
  Bstr value;
  if (!dispatch || FAILED(dispatch->QueryInterface(IID_IHTMLDocument2, page.outVoid())) ||
      FAILED(page->get_title(value.out())))
    return std::string();
  return value.text();
}

std::string WebBrowserHost::locationUrl() const {
  Bstr value;
  if (!browser_ || FAILED(browser_->get_LocationURL(value.out()))) return std::string();
  return value.text();
}

int WebBrowserHost::readyState() const {
  READYSTATE state = READYSTATE_UNINITIALIZED;
  if (!browser_ || FAILED(browser_->get_ReadyState(&state))) return 0;
  return static_cast<int>(state);
}

std::string WebBrowserHost::outerHtml() const {
  ComRef<IDispatch> dispatch;
  *dispatch.out() = document();
  ComRef<IHTMLDocument3> page;
  ComRef<IHTMLElement> root;
  Bstr value;
  if (!dispatch || FAILED(dispatch->QueryInterface(IID_IHTMLDocument3, page.outVoid())) ||
      FAILED(page->get_documentElement(root.out())) || !root ||
      FAILED(root->get_outerHTML(value.out())))
    return std::string();
  return value.text();
}

bool WebBrowserHost::writeHtml(const std::string& html) {
  ComRef<IDispatch> dispatch;
  *dispatch.out() = document();
  ComRef<IHTMLDocument2> page;
  if (!dispatch || FAILED(dispatch->QueryInterface(IID_IHTMLDocument2, page.outVoid())))
    return false;
  ComRef<IDispatch> opened;
  Bstr kind("text/html");
  VARIANT empty;
  VariantInit(&empty);
  if (FAILED(page->open(kind.get(), empty, empty, empty, opened.out()))) return false;
  SAFEARRAY* lines = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  if (!lines) return false;
  VARIANT* line = nullptr;
  bool written = false;
  if (SUCCEEDED(SafeArrayAccessData(lines, reinterpret_cast<void**>(&line)))) {
    V_VT(line) = VT_BSTR;
    V_BSTR(line) = SysAllocString(toWide(html).c_str());
    SafeArrayUnaccessData(lines);
    written = SUCCEEDED(page->write(lines));
  }
  SafeArrayDestroy(lines);  // frees the BSTR inside
  page->close();
  return written;
}

}  // namespace ql
