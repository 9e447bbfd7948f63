; The Windows installer: the program and fptool into Program Files, a
; Start-menu entry, and an uninstaller listed in Add/Remove Programs.
; scripts/package.sh makes it with
;   makensis -DVERSION=x.y.z -DVERSION4=x.y.z.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe> poreske-grupe.nsi
; where <folder> holds poreske-grupe.exe, fptool.exe and README.md.
; Silent: setup.exe /S, Uninstall.exe /S.

!macro RequireDefine NAME
  !ifndef ${NAME}
    !error "makensis needs -D${NAME}=... (see the top of this file)"
  !endif
!macroend
!insertmacro RequireDefine VERSION
!insertmacro RequireDefine VERSION4
!insertmacro RequireDefine STAGE
!insertmacro RequireDefine OUTFILE

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh

!define APP_ID "com.example.PoreskeGrupe"
!define APP_NAME "Poreske grupe"
!define PUBLISHER "The poreske-grupe developers"
!define WEBSITE "https://www.example.com/"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_ID}"
!define SHORTCUT "$SMPROGRAMS\${APP_NAME}.lnk"

Name "${APP_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP_NAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP_NAME} ${VERSION}"

!define MUI_ICON "${__FILEDIR__}/poreske-grupe.ico"
!define MUI_UNICON "${__FILEDIR__}/poreske-grupe.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the default; the installer speaks Serbian where Windows does.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SerbianLatin"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP_NAME} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}, MIT license"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "${STAGE}/poreske-grupe.exe"
  File "${STAGE}/fptool.exe"
  File "${STAGE}/README.md"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\poreske-grupe.exe" "" "$INSTDIR\poreske-grupe.exe" 0 \
      SW_SHOWNORMAL "" "Change a fiscal printer's tax groups and rates"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Uninstall.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "${WEBSITE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Contact" "podrska@example.com"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\poreske-grupe.exe"
  Delete "$INSTDIR\fptool.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
