; The calculator's installer for 64-bit Windows: both programs and the user
; guide, Start-menu shortcuts to the window and the guide, a desktop one if
; asked for, and an uninstaller that Programs and Features lists; /S
; installs silently, /DESKTOP with the desktop shortcut.
; makensis gets VERSION, BUILD (the folder with the programs),
; SOURCE (the project) and OUT (the installer's file).
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include MUI2.nsh
!include x64.nsh
!include FileFunc.nsh
!include Sections.nsh

!define NAME "sheetmass"
!define TITLE "Масса AL листов"
!define GUIDE "Справка"
!define UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"

Name "${TITLE} ${VERSION}"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "${UNINSTALL}" "InstallLocation"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1049 "ProductName" "${TITLE}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка: ${TITLE}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© Авторы sheetmass, 2026"

!define MUI_ICON "${SOURCE}/assets/sheetmass.ico"
!define MUI_UNICON "${SOURCE}/assets/sheetmass.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\sheetmassw.exe"
!insertmacro MUI_PAGE_LICENSE "${SOURCE}/LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section "Программа" Program
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BUILD}/sheetmassw.exe"
  File "${BUILD}/sheetmass.exe"
  File "/oname=LICENSE.txt" "${SOURCE}/LICENSE"
  File "${BUILD}/guide.html"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${NAME}"
  CreateShortcut "$SMPROGRAMS\${NAME}\${TITLE}.lnk" "$INSTDIR\sheetmassw.exe"
  ; The guide opens in the user's browser.
  CreateShortcut "$SMPROGRAMS\${NAME}\${GUIDE}.lnk" "$INSTDIR\guide.html"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayName" "${TITLE}"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL}" "Publisher" "Авторы sheetmass"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayIcon" "$INSTDIR\sheetmassw.exe"
  WriteRegStr HKLM "${UNINSTALL}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL}" "NoRepair" 1
SectionEnd

Section /o "Ярлык на рабочем столе" Desktop
  CreateShortcut "$DESKTOP\${TITLE}.lnk" "$INSTDIR\sheetmassw.exe"
SectionEnd

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Программа работает только в 64-разрядной Windows."
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
  ; /DESKTOP on the command line asks for the desktop shortcut, as the
  ; components page does.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/DESKTOP" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${Desktop} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; The users' inputs (List.abc, here or in their data folders) stay: only
; what the installer put here goes.
Section "Uninstall"
  Delete "$INSTDIR\sheetmassw.exe"
  Delete "$INSTDIR\sheetmass.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\guide.html"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${NAME}\${TITLE}.lnk"
  Delete "$SMPROGRAMS\${NAME}\${GUIDE}.lnk"
  RMDir "$SMPROGRAMS\${NAME}"
  Delete "$DESKTOP\${TITLE}.lnk"
  DeleteRegKey HKLM "${UNINSTALL}"
SectionEnd
