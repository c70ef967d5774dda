// Owners for the values of a late-bound automation call: a VARIANT (an argument or the
// answer) and the strings an EXCEPINFO may hold after the call.
#pragma once

#include "common/win32/unique.h"

namespace vorta::setup {

// A VARIANT cleared when the owner goes.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value_); }
    VARIANT* get() { return &value_; }

  private:
    VARIANT value_;
};

// The strings an automation call may leave in an EXCEPINFO.
class ExceptionInfo {
  public:
    ExceptionInfo() : info_{} {}
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo() {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
    }
    EXCEPINFO* get() { return &info_; }

  private:
    EXCEPINFO info_;
};

}  // namespace vorta::setup
