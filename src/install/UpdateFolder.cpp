#include "install/UpdateFolder.h"

namespace orvitex::install {

std::optional<std::u16string> UnseenDriveLetter(platform::FileSystem& files,
                                                std::u16string_view folder) {
    const bool letter =
        folder.size() >= 2 && folder[1] == u':' &&
        ((folder[0] >= u'A' && folder[0] <= u'Z') || (folder[0] >= u'a' && folder[0] <= u'z'));
    if (!letter)
        return std::nullopt;
    const std::u16string root = std::u16string(folder.substr(0, 2)) + u"\\";
    if (files.DirectoryExists(root))
        return std::nullopt;
    return u"업데이트 폴더 \"" + std::u16string(folder) + u"\"의 드라이브 " + root +
           u"는 관리자 권한으로 실행된 이 프로그램에서 보이지 않습니다 (사용자 세션에서 연결한 "
           u"네트워크 드라이브). \\\\서버\\공유 경로를 사용하십시오.";
}

}  // namespace orvitex::install
