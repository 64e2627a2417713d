; The Windows installer of the game, built by tools/build-windows.sh:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder of the portable game> -DICON=<ico>
;            -DOUTFILE=<setup.exe> installer.nsi
; Installs into Program Files for every user, with Start-menu shortcuts (the
; game, and the game hosting an online game), an uninstaller, an entry in the
; list of installed programs and the vermix: URL protocol, which opens the
; invite links vermix://join/CODE and vermix://watch/CODE in the game. /S
; installs without asking. installed.txt beside vermix.exe tells the game to
; keep its saves in the user's application-data folder.
; A 64-bit installer: the game is 64-bit, and so are the folders and the
; registry view it writes to.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define NAME "Vermix 2D\3D"
; The shortcut's name: a file name holds no backslash.
!define SHORTCUT "$SMPROGRAMS\Vermix.lnk"
!define HOST_SHORTCUT "$SMPROGRAMS\Vermix - Host an online game.lnk"
!define PROTOCOL_KEY "Software\Classes\vermix"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vermix"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vermix"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "${NAME} ${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Vermix"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\vermix.exe"
  File "${STAGE}\OpenAL32.dll"
  File "${STAGE}\README.txt"
  File /r "${STAGE}\licences"
  SetOutPath "$INSTDIR\data"
  File "${STAGE}\data\*.ogg"
  SetOutPath "$INSTDIR"
  FileOpen $0 "$INSTDIR\installed.txt" w
  FileWrite $0 "Installed: saved files go to the application-data folder.$\r$\n"
  FileClose $0

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\vermix.exe" "" "$INSTDIR\vermix.exe" 0
  CreateShortCut "${HOST_SHORTCUT}" "$INSTDIR\vermix.exe" "--host" "$INSTDIR\vermix.exe" 0

  ; A link is handed to the game whole, as its one argument.
  WriteRegStr HKLM "${PROTOCOL_KEY}" "" "URL:Vermix invite"
  WriteRegStr HKLM "${PROTOCOL_KEY}" "URL Protocol" ""
  WriteRegStr HKLM "${PROTOCOL_KEY}\DefaultIcon" "" '"$INSTDIR\vermix.exe",0'
  WriteRegStr HKLM "${PROTOCOL_KEY}\shell\open\command" "" '"$INSTDIR\vermix.exe" "%1"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillwork Studio"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vermix.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put down; the player's saves in the
; application-data folder stay.
Section "Uninstall"
  SetShellVarContext all
  Delete "${SHORTCUT}"
  Delete "${HOST_SHORTCUT}"
  Delete "$INSTDIR\vermix.exe"
  Delete "$INSTDIR\OpenAL32.dll"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\installed.txt"
  RMDir /r "$INSTDIR\licences"
  Delete "$INSTDIR\data\*.ogg"
  RMDir "$INSTDIR\data"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PROTOCOL_KEY}"
SectionEnd
