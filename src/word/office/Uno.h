#pragma once

// Small conversions between the program's UTF-8 strings and UNO's values.

#include <string>
#include <vector>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

namespace word::office {

inline std::string Utf8(const rtl::OUString& s) {
    return rtl::OUStringToOString(s, RTL_TEXTENCODING_UTF8).getStr();
}

inline rtl::OUString Ou(const std::string& s) {
    return rtl::OUString(s.data(), static_cast<sal_Int32>(s.size()), RTL_TEXTENCODING_UTF8);
}

inline ::com::sun::star::uno::Sequence<::com::sun::star::beans::PropertyValue> Props(
    const std::vector<::com::sun::star::beans::PropertyValue>& values) {
    return {values.data(), static_cast<sal_Int32>(values.size())};
}

// The same object through one of the interfaces it derives from.
template <class Base, class Derived>
::com::sun::star::uno::Reference<Base> Up(const ::com::sun::star::uno::Reference<Derived>& r) {
    return ::com::sun::star::uno::Reference<Base>(r.get());
}

template <class T>
::com::sun::star::beans::PropertyValue Prop(const char* name, const T& value) {
    ::com::sun::star::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value <<= value;
    return p;
}

}  // namespace word::office
