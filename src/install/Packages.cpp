#include "install/Packages.h"

#include "platform/Text.h"

namespace orvitex::install {

std::u16string PackageQuery(const SetupPackage& package) {
    return u"Select 파일이름, 실행파일 from tb_도르네AS where 파일이름 = '" +
           std::u16string(package.key) + u"' ";
}

std::u16string PackageLabel(const SetupPackage& package) {
    const auto name = package.file.substr(package.file.rfind(u'\\') + 1);
    return u"package " + ToText(std::int64_t{package.index}) + u" (" + std::u16string(name) + u")";
}

}  // namespace orvitex::install
