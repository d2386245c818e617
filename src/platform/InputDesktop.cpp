#include "platform/InputDesktop.h"

#include "platform/Text.h"

namespace orvitex::platform {

std::optional<std::u16string> WhyClicksCannotLand(const InputDesktopFacts& facts) {
    if (facts.session == 0)
        return u"it runs in session 0, as a service, where no one sees or clicks a window";
    if (!facts.inputDesktopOpened)
        return u"the input desktop cannot be opened: the workstation is locked or a secure "
               u"desktop has the input";
    if (facts.inputDesktop != facts.threadDesktop)
        return u"the input goes to the desktop \"" + facts.inputDesktop +
               u"\", this program's windows are on \"" + facts.threadDesktop + u"\"";
    if (facts.sessionActive == false)
        return u"session " + ToText(std::int64_t{facts.session}) +
               u" is not active: disconnected or locked";
    if (!facts.cursorMovable)
        return u"the cursor cannot be moved on this desktop";
    return std::nullopt;
}

std::u16string NoInputDesktopMessage(std::u16string_view reason) {
    return u"잠금이 풀린 사용자 화면이 없어 설치 프로그램을 클릭할 수 없습니다. PC의 잠금을 "
           u"풀고 로그온한 사용자의 화면에서 다시 실행하십시오. (" +
           std::u16string(reason) + u")";
}

}  // namespace orvitex::platform
