; The Windows installer: per user, no administrator prompt, Portuguese.
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0 -DDIST=folder -DLICENSE=file
;            -DICON=file.ico -DFILES=uninstall-list.nsh -DOUTFILE=setup.exe
;            installer.nsi
; DIST is the folder the zip holds; FILES lists its files and folders for
; the uninstaller (scripts/windows writes it), which removes those and
; nothing a user put beside them. LICENSE is what the licence page shows:
; the program's licence, then the others' the folder carries, by name.
; A 64-bit installer for the 64-bit program: it runs wherever the program does.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define NAME "Verinova Cadastral"
!define EXE "verinova-cadastral.exe"
!define PUBLISHER "Projeto Verinova Cadastral"
!define PROGID "VerinovaCadastral.Retorno"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VerinovaCadastral"
!define CLASSES "Software\Classes"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
; Installing again finds the earlier folder and upgrades it in place.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1046 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1046 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1046 "FileDescription" "Instalador do ${NAME}"
VIAddVersionKey /LANG=1046 "LegalCopyright" "© 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Abrir o ${NAME}"
; The finish page's second box makes the desktop shortcut, unticked.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Criar um atalho na área de trabalho"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION DesktopShortcut

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

; Deletes `key` when it holds neither values nor keys: what another program
; wrote there stays.
!macro DeleteKeyIfEmpty key
  Push $0
  EnumRegValue $0 HKCU "${key}" 0
  StrCmp $0 "" 0 +2
    DeleteRegKey /ifempty HKCU "${key}"
  Pop $0
!macroend

Function DesktopShortcut
  CreateShortCut "$DESKTOP\${NAME}.lnk" "$INSTDIR\${EXE}"
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File /r "${DIST}/*"
  WriteUninstaller "$INSTDIR\desinstalar.exe"
  CreateShortCut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\${EXE}"

  ; "Abrir com": the program's own type for the government's .PROCESSADO
  ; files, which no other program claims, and an offer, never the default,
  ; for text files.
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Arquivo de Retorno da Qualificação Cadastral"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" '"$INSTDIR\${EXE}",0'
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
  WriteRegStr HKCU "${CLASSES}\.PROCESSADO" "" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\.PROCESSADO\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "${CLASSES}\.txt\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "${CLASSES}\Applications\${EXE}" "FriendlyAppName" "${NAME}"
  WriteRegStr HKCU "${CLASSES}\Applications\${EXE}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'

  ; "Aplicativos e recursos".
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${EXE}",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\desinstalar.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\desinstalar.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Explorer shows the new icon and "Abrir com" at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  !include "${FILES}"
  Delete "$INSTDIR\desinstalar.exe"
  ; The folder goes only when nothing of the user's is left in it.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  Delete "$DESKTOP\${NAME}.lnk"

  ; Only what the installer made: .PROCESSADO's default only while it is
  ; still ours, and from .txt only the offer.
  ReadRegStr $0 HKCU "${CLASSES}\.PROCESSADO" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegValue HKCU "${CLASSES}\.PROCESSADO" ""
  DeleteRegValue HKCU "${CLASSES}\.PROCESSADO\OpenWithProgids" "${PROGID}"
  !insertmacro DeleteKeyIfEmpty "${CLASSES}\.PROCESSADO\OpenWithProgids"
  !insertmacro DeleteKeyIfEmpty "${CLASSES}\.PROCESSADO"
  DeleteRegValue HKCU "${CLASSES}\.txt\OpenWithProgids" "${PROGID}"
  !insertmacro DeleteKeyIfEmpty "${CLASSES}\.txt\OpenWithProgids"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  DeleteRegKey HKCU "${CLASSES}\Applications\${EXE}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
