#include "base/Error.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace pellucine {

QString errorTypeName(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Error*>(&error)) {
        return own->typeName();
    }
    const char* mangled = typeid(error).name();
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
    return name.replace(QStringLiteral("::"), QStringLiteral("."));
}

QString errorDescription(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Error*>(&error)) {
        return own->localizedDescription();
    }
    return QString::fromUtf8(error.what());
}

}  // namespace pellucine
