#include "update/fetch_url.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include "ui/wide_text.h"

namespace ql {

namespace {

// Calls a method or reads a property of `object` by name. The arguments are
// given last first, as IDispatch takes them; the result is the caller's to clear.
bool invoke(IDispatch* object, const wchar_t* name, WORD kind, VARIANT* arguments, UINT count,
            VARIANT* result) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  DISPPARAMS parameters{arguments, nullptr, count, 0};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result,
                                  nullptr, nullptr));
}

std::string byteArrayText(const VARIANT& value) {
  if (V_VT(&value) != (VT_ARRAY | VT_UI1) || !V_ARRAY(&value)) return std::string();
  SAFEARRAY* array = V_ARRAY(&value);
  LONG low = 0, high = -1;
  if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &low)) ||
      FAILED(SafeArrayGetUBound(array, 1, &high)) || high < low)
    return std::string();
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return std::string();
  std::string bytes(static_cast<const char*>(data), static_cast<size_t>(high - low) + 1);
  SafeArrayUnaccessData(array);
  return bytes;
}

std::string get(IDispatch* request, const std::string& address) {
  // open("GET", address, false): synchronous.
  VARIANT open[3];
  V_VT(&open[0]) = VT_BOOL;
  V_BOOL(&open[0]) = VARIANT_FALSE;
  V_VT(&open[1]) = VT_BSTR;
  V_BSTR(&open[1]) = SysAllocString(toWide(address).c_str());
  V_VT(&open[2]) = VT_BSTR;
  V_BSTR(&open[2]) = SysAllocString(L"GET");
  bool opened = V_BSTR(&open[1]) && V_BSTR(&open[2]) &&
                invoke(request, L"open", DISPATCH_METHOD, open, 3, nullptr);
  for (VARIANT& argument : open) VariantClear(&argument);
  if (!opened) return std::string();

  VARIANT noBody;
  VariantInit(&noBody);
  if (!invoke(request, L"send", DISPATCH_METHOD, &noBody, 1, nullptr)) return std::string();

  VARIANT body;
  VariantInit(&body);
  std::string bytes;
  if (invoke(request, L"responseBody", DISPATCH_PROPERTYGET, nullptr, 0, &body))
    bytes = byteArrayText(body);
  VariantClear(&body);
  return bytes;
}

}  // namespace

std::string fetchUrl(const std::string& address) {
  CLSID kind;
  IDispatch* request = nullptr;
  if (FAILED(CLSIDFromProgID(L"Microsoft.XMLHTTP", &kind)) ||
      FAILED(CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&request))))
    return std::string();
  std::string bytes = get(request, address);
  request->Release();
  return bytes;
}

}  // namespace ql
