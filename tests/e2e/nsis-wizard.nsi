; A real setup wizard, built by nsis.sh: makensis -DTARGET=amd64-unicode -DOUTFILE=PATH.
Unicode true
Target ${TARGET}
!include "MUI2.nsh"
Name "오르비텍스"
Caption "오르비텍스 설치"
OutFile "${OUTFILE}"
InstallDir "$TEMP\orvitex-nsis-wizard"
RequestExecutionLevel admin
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "Korean"
Section
    SetOutPath "$INSTDIR"
SectionEnd
