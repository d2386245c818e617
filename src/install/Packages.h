#pragma once
// The six setup packages of a run, in the order they are installed.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "install/WindowScripts.h"

namespace orvitex::install {

inline constexpr std::u16string_view kOldProgramFolder = u"C:\\Orvitex\\";
inline constexpr std::u16string_view kInstallFolder = u"C:\\오르비설치";

struct SetupPackage {
    std::int32_t index;
    std::u16string_view file;
    std::u16string_view status;
    std::u16string_view key;  // 파일이름 of its row in tb_도르네AS
    std::u16string_view caption;
    WizardScript script;
};

inline constexpr std::int32_t kPackageCount = 6;

inline constexpr std::array<SetupPackage, kPackageCount> kSetupPackages{{
    {1, u"C:\\오르비설치\\iOrvitex.exe", u"오르비 셋업 파일을 다운로드 중 입니다.", u"오르비셋업",
     u"오르비텍스 설치", WizardScript::MainSetup},
    {2, u"C:\\오르비설치\\uOrvitex1.exe", u"오르비 필수업데이트 파일을 다운로드 중 입니다.",
     u"오르비필수업데이트", u"오르비텍스 Update 설치", WizardScript::UpdateSetup},
    {3, u"C:\\오르비설치\\uOrvitex2.exe", u"오르비 필수업데이트 파일을 다운로드 중 입니다.",
     u"오르비필수업데이트2", u"오르비텍스 설치", WizardScript::ClickUntilGone},
    {4, u"C:\\오르비설치\\uOrvitex3.exe", u"오르비 필수업데이트 파일을 다운로드 중 입니다.",
     u"오르비필수업데이트3", u"오르비텍스 설치", WizardScript::ClickUntilGone},
    {5, u"C:\\오르비설치\\ALLV7_XProxy_soapLibSetupSetup.exe",
     u"인증서 관련 모듈 다운로드 중 입니다.", u"ALL7", u"ALLV7_XProxy_soapLibSetup Setup",
     WizardScript::SingleClick},
    {6, u"C:\\오르비설치\\IHiraDurSetupSW0421.exe", u"DUR 다운로드 중 입니다.", u"DUR",
     u"IHIRADUR 1.0 설치", WizardScript::TwoClicks},
}};

// The statement that fetches the package's stored program.
[[nodiscard]] std::u16string PackageQuery(const SetupPackage& package);
// "package 3 (uOrvitex2.exe)", for messages and the run log.
[[nodiscard]] std::u16string PackageLabel(const SetupPackage& package);

}  // namespace orvitex::install
