; The TARVEX installer: per user, no administrator rights, into the user's own
; programs folder (the program keeps its task, settings and log files beside its
; executable, so the folder must be the user's to write).
; makensis -DVERSION=2025.05.08 -DVERSION4=2025.5.8.0 -DEXE=... -DREADME=... -DICON=... -DOUTFILE=...
; Switches: /S silent; /INICIAR with /S starts TARVEX at logon; /REMOVERDADOS with
; the silent uninstaller removes the data files too (kept otherwise).
Unicode true
; A 64-bit installer for a 64-bit program: it runs wherever tarvex.exe can.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "TARVEX"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TARVEX"
; The logon value the program's settings page writes: same key, same name, the
; executable's full path in upper case, quoted when it holds a blank.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_NAME "TARVEX"

Name "${PRODUCT}"
Caption "Instalação do ${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\TARVEX"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1046 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1046 "CompanyName" "VALDRIN"
VIAddVersionKey /LANG=1046 "FileDescription" "Instalação do TARVEX - agendador de tarefas"
VIAddVersionKey /LANG=1046 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "LegalCopyright" "VALDRIN"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarvex.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Abrir o TARVEX agora"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

; Waits while a TARVEX started from this folder is running: its executable
; cannot be replaced or removed then. Silent runs give up at once, with code 2.
!macro WaitProgramClosed un
Function ${un}WaitProgramClosed
retry:
  IfFileExists "$INSTDIR\tarvex.exe" 0 free
  ClearErrors
  FileOpen $0 "$INSTDIR\tarvex.exe" a
  IfErrors busy
  FileClose $0
  Goto free
busy:
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "O TARVEX está aberto. Feche-o (menu Sair) e clique em Repetir." /SD IDCANCEL IDRETRY retry
  SetErrorLevel 2
  Quit
free:
FunctionEnd
!macroend
!insertmacro WaitProgramClosed ""
!insertmacro WaitProgramClosed "un."

; The logon value's data as the program writes it: quoted when the path holds a blank.
Function QuoteIfBlank
  Exch $0
  Push $1
  Push $2
  StrCpy $1 0
loop:
  StrCpy $2 $0 1 $1
  StrCmp $2 "" end
  StrCmp $2 " " 0 next
  StrCpy $0 '"$0"'
  Goto end
next:
  IntOp $1 $1 + 1
  Goto loop
end:
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Section "TARVEX (programa)" SecProgram
  SectionIn RO
  Call WaitProgramClosed
  SetOutPath "$INSTDIR"
  ; Only the program's own files: the task file, the settings and the log of an
  ; older version stay as they are.
  File "/oname=tarvex.exe" "${EXE}"
  File "/oname=LEIA-ME.txt" "${README}"
  WriteUninstaller "$INSTDIR\desinstalar.exe"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "VALDRIN"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\tarvex.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\desinstalar.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\desinstalar.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=tarvex.exe /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Atalho no menu Iniciar" SecShortcut
  SetShellVarContext current
  CreateDirectory "$SMPROGRAMS\TARVEX"
  CreateShortcut "$SMPROGRAMS\TARVEX\TARVEX.lnk" "$INSTDIR\tarvex.exe" "" "$INSTDIR\tarvex.exe" 0 SW_SHOWNORMAL "" "Agendador de tarefas"
  CreateShortcut "$SMPROGRAMS\TARVEX\Desinstalar o TARVEX.lnk" "$INSTDIR\desinstalar.exe"
SectionEnd

Section /o "Iniciar com o Windows" SecAutorun
  StrCpy $0 "$INSTDIR\tarvex.exe"
  System::Call "User32::CharUpper(t r0 r0)i"
  Push $0
  Call QuoteIfBlank
  Pop $0
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_NAME}" "$0"
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/INICIAR" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecAutorun} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.WaitProgramClosed
  SetShellVarContext current
  Delete "$INSTDIR\tarvex.exe"
  Delete "$INSTDIR\LEIA-ME.txt"
  Delete "$INSTDIR\desinstalar.exe"
  ; The running program's mark, not the operator's.
  Delete "$INSTDIR\TARVEX.LCK"
  Delete "$SMPROGRAMS\TARVEX\TARVEX.lnk"
  Delete "$SMPROGRAMS\TARVEX\Desinstalar o TARVEX.lnk"
  RMDir "$SMPROGRAMS\TARVEX"
  ; A logon start of a program that is gone would only fail at every logon.
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_NAME}"
  DeleteRegKey HKCU "${UNINST_KEY}"

  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVERDADOS" $1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Remover também as tarefas, os parâmetros e o log do TARVEX?$\r$\n$\r$\nPasta: $INSTDIR" \
      /SD IDNO IDYES removeData
    Goto done
  ${EndIf}
removeData:
  Delete "$INSTDIR\TARVEX_TAREFAS.TXT"
  Delete "$INSTDIR\TARVEX_SISTEMA.TXT"
  Delete "$INSTDIR\LOG_TIMER.TXT"
  Delete "$INSTDIR\TIMER_*.BAT"
  Delete "$INSTDIR\*.tmp~*"
  Delete "$INSTDIR\LOG_TIMER_*.TXT"
  Delete "$INSTDIR\HISTORICO_TIMER.TXT"
  Delete "$INSTDIR\TARVEX_EMAIL.TXT"
  RMDir /r "$INSTDIR\EMAIL_SAIDA"
  ; The key its stored passwords were protected with goes with them.
  DeleteRegValue HKCU "Software\TARVEX" "ChaveSenhas"
  DeleteRegKey /ifempty HKCU "Software\TARVEX"
done:
  ; Only when nothing is left in it.
  RMDir "$INSTDIR"
SectionEnd
