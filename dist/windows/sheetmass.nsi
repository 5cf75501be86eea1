; The calculator's installer for 64-bit Windows: both programs and the user
; guide, Start-menu shortcuts to the window and the guide, a desktop one if
; asked for, and an uninstaller that Programs and Features lists; /S
; installs silently, /DESKTOP with the desktop shortcut.
; A copy that runs is closed as its user closes it, so that it saves; one
; that stays makes the install fail, a silent one with a non-zero status.
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
!include LogicLib.nsh
!include WinMessages.nsh

!define NAME "sheetmass"
!define TITLE "Масса AL листов"
!define GUIDE "Справка"
!define UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
; "Open with" for spreadsheets' files: the window works one out beside it.
!define APPLICATION "Software\Classes\Applications\sheetmassw.exe"
!define PROGID "sheetmass.csv"
; The main window's class and the About window's, as the program names them.
!define MAIN_WINDOW "sheetmass.Форма1"
!define ABOUT_WINDOW "sheetmass.Форма2"

Name "${TITLE} ${VERSION}"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "${UNINSTALL}" "InstallLocation"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1049 "ProductName" "${TITLE}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка: ${TITLE}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© Авторы sheetmass, 2026"

; The user's data folder, where the inputs stay.
Var DataFolder

!define MUI_ICON "${SOURCE}/assets/sheetmass.ico"
!define MUI_UNICON "${SOURCE}/assets/sheetmass.ico"
; Started as the user, not with the installer's elevation: the shell runs it.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
; The descriptions below the list, which then has room for whole names.
!define MUI_COMPONENTSPAGE_SMALLDESC
; A file that cannot be replaced fails the install; skipped, the old
; program would stay while the install said it was done.
AllowSkipFiles off
!insertmacro MUI_PAGE_LICENSE "${SOURCE}/LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Программа «${TITLE}» удалена.$\r$\n$\r$\n\
Введённые значения (файл List.abc) остались в папке$\r$\n$DataFolder$\r$\n\
Удалите её, если они больше не нужны."
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "Russian"

; Closes every window of the program as its user would (each copy saves
; its inputs) until neither program is held open, waiting up to ten
; seconds; then says so, or, when silent, ends the setup with status 2.
!macro CLOSE_RUNNING un
Function ${un}CloseRunning
  ${Do}
    ${For} $R2 1 100
      Call ${un}InUse
      ${If} $R1 == ""
        Return
      ${EndIf}
      ; An open About window keeps its program running.
      ${ForEach} $R4 1 2 + 1
        ${If} $R4 == 1
          FindWindow $R0 "${MAIN_WINDOW}"
        ${Else}
          FindWindow $R0 "${ABOUT_WINDOW}"
        ${EndIf}
        ${If} $R0 <> 0
          SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=1000
        ${EndIf}
      ${Next}
      Sleep 100
    ${Next}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Программа «${TITLE}» ещё работает: файл $R1 занят.$\r$\n\
Закройте её (если она о чём-то спрашивает, ответьте) и нажмите «Повтор»." \
      /SD IDCANCEL IDRETRY again
    ${Break}
    again:
  ${Loop}
  SetErrorLevel 2
  Quit
FunctionEnd

; $R1: the first of the programs that cannot be opened for writing, or "".
Function ${un}InUse
  StrCpy $R1 ""
  ${ForEach} $R4 1 2 + 1
    ${If} $R4 == 1
      StrCpy $R5 "$INSTDIR\sheetmassw.exe"
    ${Else}
      StrCpy $R5 "$INSTDIR\sheetmass.exe"
    ${EndIf}
    ${If} $R1 == ""
    ${AndIf} ${FileExists} $R5
      ClearErrors
      FileOpen $R3 $R5 a
      ${If} ${Errors}
        StrCpy $R1 $R5
      ${Else}
        FileClose $R3
      ${EndIf}
    ${EndIf}
  ${Next}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING ""
!insertmacro CLOSE_RUNNING "un."

Function StartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\sheetmassw.exe"'
FunctionEnd

Section "Программа" Program
  SectionIn RO
  Call CloseRunning
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
  Call OfferOpenWith
SectionEnd

; Explorer's "Open with" lists the window for .csv: the application and the
; types it takes, and a kind of file of its own that .csv may be opened as;
; the user's choice of program for .csv stays as it was.
Function OfferOpenWith
  WriteRegStr HKLM "${APPLICATION}" "FriendlyAppName" "${TITLE}"
  WriteRegStr HKLM "${APPLICATION}\shell\open\command" "" '"$INSTDIR\sheetmassw.exe" "%1"'
  WriteRegStr HKLM "${APPLICATION}\SupportedTypes" ".csv" ""
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Список партий листов"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\sheetmassw.exe,0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open" "FriendlyAppName" "${TITLE}"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" \
    '"$INSTDIR\sheetmassw.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\.csv\OpenWithProgids" "${PROGID}" ""
  ; SHCNE_ASSOCCHANGED: Explorer reads the associations again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
FunctionEnd

Section /o "Ярлык на рабочем столе" Desktop
  CreateShortcut "$DESKTOP\${TITLE}.lnk" "$INSTDIR\sheetmassw.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${Program} \
    "Окно расчёта, расчёт по списку в командной строке (sheetmass.exe) и ярлык в меню «Пуск»."
  !insertmacro MUI_DESCRIPTION_TEXT ${Desktop} "Ярлык окна расчёта на рабочем столе."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

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
  SetShellVarContext current
  StrCpy $DataFolder "$APPDATA\${NAME}"
  SetShellVarContext all
FunctionEnd

; The program's folder goes with all the program put there; the user's
; inputs stay in the data folder. Inputs an older copy saved beside itself
; go there too when it has none.
Section "Uninstall"
  Call un.CloseRunning
  Delete "$INSTDIR\sheetmassw.exe"
  Delete "$INSTDIR\sheetmass.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\guide.html"
  Delete "$INSTDIR\uninstall.exe"
  IfFileExists "$INSTDIR\List.abc" 0 moved
  IfFileExists "$DataFolder\List.abc" moved
  CreateDirectory "$DataFolder"
  Rename "$INSTDIR\List.abc" "$DataFolder\List.abc"
  moved:
  Delete "$INSTDIR\List.abc"
  ; What a save cut short left.
  Delete "$INSTDIR\.List.abc.*"
  RMDir "$INSTDIR"
  ; The saves' lock: in a folder of the program's own, and loose where
  ; older copies kept it.
  SetShellVarContext current
  RMDir /r "$LOCALAPPDATA\${NAME}"
  Delete "$LOCALAPPDATA\sheetmass.lock"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${NAME}\${TITLE}.lnk"
  Delete "$SMPROGRAMS\${NAME}\${GUIDE}.lnk"
  RMDir "$SMPROGRAMS\${NAME}"
  Delete "$DESKTOP\${TITLE}.lnk"
  DeleteRegKey HKLM "${APPLICATION}"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  DeleteRegValue HKLM "Software\Classes\.csv\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKLM "Software\Classes\.csv\OpenWithProgids"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  DeleteRegKey HKLM "${UNINSTALL}"
SectionEnd
