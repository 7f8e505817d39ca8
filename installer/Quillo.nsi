; Quillo's setup for Windows, built by tools/package with Debian's makensis:
;
;   makensis -DVERSION=X.Y.Z -DARCH=win32|win64 -DSTAGE=FOLDER -DOUTFILE=SETUP.EXE Quillo.nsi
;
; STAGE holds the files of the program's folder (the portable zip's). win32 makes a 32-bit
; setup with a 32-bit player and control, win64 a 64-bit one with Debian's amd64 stubs, so that
; each setup registers its own control in its own process.
;
; It installs into Program Files, registers the video control, makes the Start menu and (if
; chosen) desktop shortcuts and the Apps & features entry, and writes the .viv association the
; player itself writes at every start. It will not replace the files of a running player.
; The uninstaller takes all of that away again: the control's registration and the association
; only while they name this folder's files, and even when the folder has gone already; the
; user's settings (Quillo.ini) only when asked, on its components page or with /REMOVESETTINGS.
; /S installs and uninstalls without a word; a setup refused by a running player ends with
; exit code 2. On 64-bit Windows the 32-bit setup installs under Program Files (x86) and calls
; its shortcuts and its Apps & features entry "Quillo (32-bit)", so that a 64-bit Quillo can be
; installed beside it and each is told apart and removed alone.

!ifndef VERSION | ARCH | STAGE | OUTFILE
  !error "define VERSION, ARCH, STAGE and OUTFILE (see the head of this script)"
!endif

Unicode true
!if "${ARCH}" == "win64"
  Target amd64-unicode
!else if "${ARCH}" == "win32"
  Target x86-unicode
!else
  !error "ARCH is win32 or win64, not ${ARCH}"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include MUI2.nsh
!include x64.nsh

!define PRODUCT "Quillo"
!define PUBLISHER "[Ostra]"
!define HOMEPAGE "http://quillo.example.org/"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillo"
; The video control's class id and ProgID, as VVPPWEB.OCX registers them.
!define CONTROL_CLSID "{372FA2D4-1FB7-11D1-9AC6-00A0247D8477}"
!define CONTROL_PROGID "VVPPWEB.VvPPWebCtrl.1"
; The running player's hidden single-instance window.
!define RUNNING_CLASS "OneInstanceWndClass"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if "${ARCH}" == "win64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An upgrade goes where the installed version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quillo ${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Free to use and to share."

!define MUI_ICON "${__FILEDIR__}\..\res\pictures\Quillo.ico"
!define MUI_UNICON "${__FILEDIR__}\..\res\pictures\Quillo.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Quillo.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the manual"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The name of the shortcuts and of the Apps & features entry (ProductName, set by .onInit and
; un.onInit).
Var ProductName
!macro ChooseProductName
  StrCpy $ProductName "${PRODUCT}"
  !if "${ARCH}" == "win32"
    ${If} ${RunningX64}
      StrCpy $ProductName "${PRODUCT} (32-bit)"
    ${EndIf}
  !endif
!macroend

; The program folder's files, installed and removed by the same list.
!macro QuilloFiles Action
  !insertmacro ${Action} "Quillo.exe"
  !insertmacro ${Action} "VVPPWEB.OCX"
  !insertmacro ${Action} "Quillo.html"
  !insertmacro ${Action} "FFmpeg-LICENSE.txt"
  !insertmacro ${Action} "MinGW-w64-LICENSE.txt"
  !insertmacro ${Action} "vivcopy.exe"
  !insertmacro ${Action} "libvpx-LICENSE.txt"
  !insertmacro ${Action} "Opus-LICENSE.txt"
!macroend
!macro InstallFile Name
  File "${STAGE}\${Name}"
!macroend
!macro RemoveFile Name
  Delete "$INSTDIR\${Name}"
!macroend

; Waits while a player runs: its files cannot be replaced or removed under it. The user closes
; it and retries, or gives up; a silent run gives up at once, with exit code 2.
!macro RefuseWhileRunning Un
  Function ${Un}RefuseWhileRunning
    ${Do}
      FindWindow $0 "${RUNNING_CLASS}"
      ${If} $0 = 0
        Return
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Quillo is running. Close it, then choose Retry to go on." /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Quit
      retry:
    ${Loop}
  FunctionEnd
!macroend
!insertmacro RefuseWhileRunning ""
!insertmacro RefuseWhileRunning "un."

; The .viv association, as the player writes it at every start: the program's path unquoted,
; then the quoted placeholder.
!macro WriteAssociation Root
  WriteRegStr ${Root} "Software\Classes\.viv" "" "VivoFile"
  WriteRegStr ${Root} "Software\Classes\VivoFile" "" "Vivo Files"
  WriteRegStr ${Root} "Software\Classes\VivoFile\DefaultIcon" "" "$INSTDIR\Quillo.exe,0"
  WriteRegStr ${Root} "Software\Classes\VivoFile\shell\open\command" "" '$INSTDIR\Quillo.exe "%1"'
!macroend

; Takes the association away under Root while it names this folder's player: the values the
; player writes, then each key that is left empty.
!macro RemoveAssociation Root
  ReadRegStr $0 ${Root} "Software\Classes\VivoFile\shell\open\command" ""
  ${If} $0 == '$INSTDIR\Quillo.exe "%1"'
    DeleteRegValue ${Root} "Software\Classes\VivoFile\shell\open\command" ""
    DeleteRegKey /ifempty ${Root} "Software\Classes\VivoFile\shell\open\command"
    DeleteRegKey /ifempty ${Root} "Software\Classes\VivoFile\shell\open"
    DeleteRegKey /ifempty ${Root} "Software\Classes\VivoFile\shell"
    DeleteRegValue ${Root} "Software\Classes\VivoFile\DefaultIcon" ""
    DeleteRegKey /ifempty ${Root} "Software\Classes\VivoFile\DefaultIcon"
    DeleteRegValue ${Root} "Software\Classes\VivoFile" ""
    DeleteRegKey /ifempty ${Root} "Software\Classes\VivoFile"
    ReadRegStr $0 ${Root} "Software\Classes\.viv" ""
    ${If} $0 == "VivoFile"
      DeleteRegValue ${Root} "Software\Classes\.viv" ""
      DeleteRegKey /ifempty ${Root} "Software\Classes\.viv"
    ${EndIf}
  ${EndIf}
!macroend

; The control's keys under Root while they lead to this folder's VVPPWEB.OCX: what is left when
; the file is gone and could not unregister itself.
!macro RemoveControlKeys Root
  ReadRegStr $0 ${Root} "Software\Classes\CLSID\${CONTROL_CLSID}\InprocServer32" ""
  ${If} $0 == "$INSTDIR\VVPPWEB.OCX"
    DeleteRegKey ${Root} "Software\Classes\CLSID\${CONTROL_CLSID}"
    ReadRegStr $0 ${Root} "Software\Classes\${CONTROL_PROGID}\CLSID" ""
    ${If} $0 == "${CONTROL_CLSID}"
      DeleteRegKey ${Root} "Software\Classes\${CONTROL_PROGID}"
    ${EndIf}
  ${EndIf}
!macroend

Section "Quillo" SecProgram
  SectionIn RO
  Call RefuseWhileRunning
  SetOutPath "$INSTDIR"
  !insertmacro QuilloFiles InstallFile
  ; The entry first: a setup that fails after this point can still be undone.
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "$ProductName"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quillo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  !insertmacro WriteAssociation HKLM
  ClearErrors
  RegDLL "$INSTDIR\VVPPWEB.OCX"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "The video control $INSTDIR\VVPPWEB.OCX could not be registered." /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
SectionEnd

Section "Start menu shortcut" SecStartMenu
  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\$ProductName.lnk" "$INSTDIR\Quillo.exe"
SectionEnd

Section "Desktop shortcut" SecDesktop
  SetShellVarContext all
  CreateShortCut "$DESKTOP\$ProductName.lnk" "$INSTDIR\Quillo.exe"
SectionEnd

Function .onInit
  !insertmacro ChooseProductName
  Call RefuseWhileRunning
FunctionEnd

Section "un.Quillo" SecUnProgram
  SectionIn RO
  Call un.RefuseWhileRunning
  ${If} ${FileExists} "$INSTDIR\VVPPWEB.OCX"
    UnRegDLL "$INSTDIR\VVPPWEB.OCX"
  ${EndIf}
  !insertmacro RemoveControlKeys HKLM
  !insertmacro RemoveControlKeys HKCU
  !insertmacro RemoveAssociation HKLM
  !insertmacro RemoveAssociation HKCU
  SetShellVarContext all
  Delete "$SMPROGRAMS\$ProductName.lnk"
  Delete "$DESKTOP\$ProductName.lnk"
  !insertmacro QuilloFiles RemoveFile
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; The player keeps its settings in the Windows folder, or in the user's application data where
; that folder may not be written.
Section /o "un.Settings (Quillo.ini)" SecUnSettings
  Delete "$WINDIR\Quillo.ini"
  SetShellVarContext current
  Delete "$APPDATA\Quillo\Quillo.ini"
  RMDir "$APPDATA\Quillo"
SectionEnd

; The uninstaller runs from a copy in the temporary folder, which NSIS has the system delete at
; the next restart: the folder first, then the file in it, so the folder, not yet empty, would
; stay. Asking once more, file first, takes both.
Function un.onUninstSuccess
  ${If} $EXEFILE == "Un.exe"
    ${GetParent} "$EXEDIR" $0
    ${If} $0 == $TEMP
      Delete /REBOOTOK "$EXEDIR\$EXEFILE"
      RMDir /REBOOTOK "$EXEDIR"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro ChooseProductName
  Call un.RefuseWhileRunning
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSettings}
  ${EndIf}
FunctionEnd
