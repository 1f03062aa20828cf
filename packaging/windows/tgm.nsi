; The installer: the programs and what they need in Program Files, a Start-menu entry, the form
; files opening in the program, an uninstaller. The installed build keeps its settings in
; %APPDATA%\tgm, never beside itself.
; makensis -DVERSION=a.b.c.d -DSTAGE=<folder of the installed files> -DOUTFILE=<setup.exe> tgm.nsi
; A 64-bit installer, as the programs are (and as a Wine without 32-bit support runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define NAME "Градуировочные таблицы"
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\tgm"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\tgm"
InstallDirRegKey HKLM "${KEY}" "InstallLocation"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro FormExtension EXT
  WriteRegStr HKLM "Software\Classes\${EXT}" "" "tgm.form"
!macroend

!macro ForgetExtension EXT
  ReadRegStr $0 HKLM "Software\Classes\${EXT}" ""
  StrCmp $0 "tgm.form" 0 +2
    DeleteRegKey HKLM "Software\Classes\${EXT}"
!macroend

Section "tgm"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\tgm.exe"
  WriteRegStr HKLM "Software\Classes\tgm.form" "" "Форма градуировочных таблиц"
  WriteRegStr HKLM "Software\Classes\tgm.form\DefaultIcon" "" "$INSTDIR\tgm.exe,0"
  WriteRegStr HKLM "Software\Classes\tgm.form\shell\open\command" "" '"$INSTDIR\tgm.exe" "%1"'
  !insertmacro FormExtension ".fs"
  !insertmacro FormExtension ".fs1"
  !insertmacro FormExtension ".fs2"
  !insertmacro FormExtension ".fs31"
  !insertmacro FormExtension ".fs32"
  !insertmacro FormExtension ".f1"
  WriteRegStr HKLM "${KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${NAME}.lnk"
  !insertmacro ForgetExtension ".fs"
  !insertmacro ForgetExtension ".fs1"
  !insertmacro ForgetExtension ".fs2"
  !insertmacro ForgetExtension ".fs31"
  !insertmacro ForgetExtension ".fs32"
  !insertmacro ForgetExtension ".f1"
  DeleteRegKey HKLM "Software\Classes\tgm.form"
  DeleteRegKey HKLM "${KEY}"
  ; The settings in %APPDATA%\tgm are the user's and stay.
  RMDir /r "$INSTDIR"
SectionEnd
