; The Indigo install written for NSIS, files stored: the benchmark's peer of
; "MixarroSetup-Indigo.exe -h -i" on 64-bit Windows 7 (as tools/bench.sh sets the prefix up),
; doing what the install procedure does, in its order:
;   the program folder, leftover ".del" files deleted, every payload file written,
;   the three driver sub-setups waited for, the five 32-bit ASIO modules registered in process
;   (each followed by the 50 ms pause), the five 64-bit ones through the registration program,
;   the USB GPI driver information file copied into the inf folder (up to Windows 8.1),
;   the three per-user values, 13 shortcuts in the user's and 13 in the common Start menu,
;   the copy of the installer and its attributes, the Programs and Features values.
; What it leaves out: the run log and the checks the program makes before it starts.
; Build: makensis -NOCD -DSRC=<payload folder> -DSIZEKB=<KiB> -DOUT=<exe> [-DAMD64] tests/bench/peer.nsi
!ifndef SRC
  !error "define SRC, the payload folder"
!endif
!ifndef SIZEKB
  !error "define SIZEKB, the payload's size in KiB as the uninstall entry gives it"
!endif
!ifndef OUT
  !define OUT "peer.exe"
!endif
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QX:Mixarro {17359A74-1236-5467}"
!define MENU "QX Audio\Mixarro"

Unicode true
SetCompress off
Name "Mixarro benchmark peer"
OutFile "${OUT}"
SilentInstall silent
RequestExecutionLevel admin
; -DAMD64: the x86-64 peer of the x86-64 build, for machines that cannot run 32-bit code.
!ifdef AMD64
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\QX\Mixarro"
!else
  InstallDir "$PROGRAMFILES\QX\Mixarro"
!endif

!macro Shortcuts
  CreateDirectory "$SMPROGRAMS\${MENU}"
  CreateShortcut "$SMPROGRAMS\${MENU}\Readme.LNK" "$INSTDIR\readme.txt" "" "" 0 "" "" "Readme"
  CreateShortcut "$SMPROGRAMS\${MENU}\Virtual IO Control Panel.LNK" "$INSTDIR\QXLINK_ControlPanel.exe" "" "" 0 "" "" "Virtual IO Control Panel"
  CreateShortcut "$SMPROGRAMS\${MENU}\Virtual AUX IO Control Panel.LNK" "$INSTDIR\QXMXAUX_ControlPanel.exe" "" "" 0 "" "" "Virtual AUX IO Control Panel"
  CreateShortcut "$SMPROGRAMS\${MENU}\Mixarro Cobalt.LNK" "$INSTDIR\MixarroPro.exe" "" "" 0 "" "" "Mixarro Cobalt"
  CreateShortcut "$SMPROGRAMS\${MENU}\Virtual VAIO3 Control Panel.LNK" "$INSTDIR\QXMXVAIO3_ControlPanel.exe" "" "" 0 "" "" "Virtual VAIO3 Control Panel"
  CreateShortcut "$SMPROGRAMS\${MENU}\Mixarro Indigo.LNK" "$INSTDIR\Mixarro8.exe" "" "" 0 "" "" "Mixarro Indigo"
  CreateShortcut "$SMPROGRAMS\${MENU}\Mixarro Indigo x64.LNK" "$INSTDIR\Mixarro8x64.exe" "" "" 0 "" "" "Mixarro Indigo x64"
  CreateShortcut "$SMPROGRAMS\${MENU}\Macro Pads.LNK" "$INSTDIR\MixarroMacroPads.exe" "" "" 0 "" "" "Macro Pads"
  CreateShortcut "$SMPROGRAMS\${MENU}\QXAN-2-MIDI.LNK" "$INSTDIR\QXAN2MIDI.exe" "" "" 0 "" "" "QXAN-2-MIDI"
  CreateShortcut "$SMPROGRAMS\${MENU}\8x8 Output Matrix.LNK" "$INSTDIR\MixarroBUSMatrix8.exe" "" "" 0 "" "" "8x8 Output Matrix"
  CreateShortcut "$SMPROGRAMS\${MENU}\15 Bands Graphic EQ.LNK" "$INSTDIR\MixarroBUSGEQ15.exe" "" "" 0 "" "" "15 Bands Graphic EQ"
  CreateShortcut "$SMPROGRAMS\${MENU}\MX Stream Scope.LNK" "$INSTDIR\MXStreamScope.exe" "" "" 0 "" "" "MX Stream Scope"
  CreateShortcut "$SMPROGRAMS\${MENU}\Mixarro.LNK" "$INSTDIR\Mixarro.exe" "" "" 0 "" "" "Mixarro"
!macroend

!macro RegisterInProcess MODULE
  RegDLL "$INSTDIR\${MODULE}"
  Sleep 50
!macroend

Section
  SetOutPath $INSTDIR
  Delete "$INSTDIR\*.del"
  File /r "${SRC}/*.*"

  ExecWait '"$INSTDIR\QXLINK_Setup_x64.exe" -h -i -H -n'
  ExecWait '"$INSTDIR\QXMXAUX_Setup_x64.exe" -h -i -H -n'
  ExecWait '"$INSTDIR\QXMXVAIO3_Setup_x64.exe" -h -i -H -n'

  !insertmacro RegisterInProcess qxmx_asiodriver.dll
  !insertmacro RegisterInProcess qxmxaux_asiodriver.dll
  !insertmacro RegisterInProcess qxmxins_asiodriver.dll
  !insertmacro RegisterInProcess qxmxvaio3_asiodriver.dll
  !insertmacro RegisterInProcess qxmxpins_asiodriver.dll
  ; The module path follows -f directly, unquoted, as the program passes it.
  ExecWait '"$INSTDIR\qxregsvr64.exe" -f$INSTDIR\qxmx_asiodriver64.dll'
  ExecWait '"$INSTDIR\qxregsvr64.exe" -f$INSTDIR\qxmxaux_asiodriver64.dll'
  ExecWait '"$INSTDIR\qxregsvr64.exe" -f$INSTDIR\qxmxins_asiodriver64.dll'
  ExecWait '"$INSTDIR\qxregsvr64.exe" -f$INSTDIR\qxmxvaio3_asiodriver64.dll'
  ExecWait '"$INSTDIR\qxregsvr64.exe" -f$INSTDIR\qxmxpins_asiodriver64.dll'

  CopyFiles /SILENT "$INSTDIR\qxusbgpi_uart.inf" "$WINDIR\inf\qxusbgpi_uart.inf"

  WriteRegDWORD HKCU "QX-Audio\MixArro" "install" 0
  WriteRegDWORD HKCU "QX-Audio\MixArro" "nbLaunch" 0
  WriteRegDWORD HKCU "QX-Audio\MixArro" "done" 0

  SetShellVarContext current
  !insertmacro Shortcuts
  SetShellVarContext all
  !insertmacro Shortcuts

  CopyFiles /SILENT "$EXEPATH" "$INSTDIR"
  SetFileAttributes "$INSTDIR\$EXEFILE" NORMAL

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Mixarro, The Virtual Mixing Console"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "QX-Audio Software"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\$EXEFILE$\""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\$EXEFILE"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "3.0.2.8"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\$EXEFILE$\" -h -u"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZEKB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.qx-audio.com/mixarro"
SectionEnd
