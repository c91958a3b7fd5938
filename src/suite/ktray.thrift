// The suite's tray service interface. The tray process serves KTrayService on a named
// pipe derived from the system volume's serial number; each registered client serves
// KTrayClient on a pipe of its own, through which the tray calls it back. Integers are
// 32-bit; handle, pointer and message-parameter fields carry the 32-bit value of that
// handle or pointer in the sending process. Strings are UTF-8.

namespace cpp ktray

struct KRegResult {
  1: i32 iResult,
  2: i32 iSrvPID,
  3: i32 iSrvPipeHandle,
}

struct KTrayUSERINFO {
  1: i32 cbSize,
  2: i32 dwUserid,
  3: string szPartnerID,
  4: string szComputerID,
}

struct KFileTime {
  1: i32 dwLowDateTime,
  2: i32 dwHighDateTime,
}

struct KEventInfo {
  1: i32 cbSize,
  2: i32 nRef,
  3: i32 dwEventID,
  4: i32 dwLevel,
  5: i32 ept,
  6: KFileTime tEventTime,
  7: string szKeyName,
  8: string lpData,
  9: i32 cbDataSize,
  10: i32 dwWndFlag,
  11: i32 dwTimeout,
  12: i32 hEvent,
  13: i32 pfnCallback,
  14: i32 dwResult,
  15: i32 _i32EventID,
}

struct KCopyData {
  1: string cbMD5,
  2: i32 dwFileSize,
  3: bool bBlock,
}

struct KLaunchProcCopyData {
  1: i32 Pid,
  2: string u8StrFile,
  3: string u8StrCmd,
}

struct KWndCopyData {
  1: i32 dwMsgID,
  2: i32 dwBufferSize,
  3: string blobBuffer,
}

service KTrayService {
  KRegResult RegisterClient(1: string u8StrClientPipe, 2: i32 iPid, 3: i32 i32PipePortHandle, 4: i32 i32ClientType),
  i32 SetAuthKey(1: i32 iPID, 2: i32 iAuthKey),
  bool AttachMessage(1: i32 pTrayClintPtr, 2: i32 nStartMsg, 3: i32 nEndMsg, 4: bool bBypassVista),
  bool AddEventLog(1: i32 lpInfo),
  bool GetAutoliveState(),
  bool GetUserInfo(1: KTrayUSERINFO lpInfo),
  bool QueryClientObject(1: string lpName, 2: i32 ppObject),
  bool OnMessage(1: i32 uMsg, 2: i32 wParam, 3: i32 lParam, 4: string lResult),
  i32 AVMessageToSrv(1: string messagebody, 2: i32 i32AuthKey),
  i32 TestValue(1: i32 iValue, 2: i32 i32MagicKey),
  bool ping(1: i32 iValue),
  void HipsFnCallBack(1: KEventInfo lpEventInfo, 2: i32 lpSrvKEventInfo),
  bool setAppMonState2Srv(1: bool bEnable),
  bool setDrvMonState2Srv(1: bool bEnable),
  bool setSBNetworkState2Srv(1: bool bEnable),
  bool setCommonState2Srv(1: i32 iModule, 2: i32 iMsgType, 3: i32 iValue),
  bool stopService(),
  bool sendMsg2Srv(1: i32 iMsg),
  bool sendMsg2SrvEx(1: i32 iMsg, 2: i32 wParam, 3: i32 lParam),
  bool sendTrayData2Srv(1: string strKey, 2: string strValue),
  bool sendSBLaunchData2Srv(1: string filepath, 2: string cmdline),
  bool sendCMD2Srv(1: i32 iCMD, 2: KCopyData icbData),
  i32 UDiskMessageToSrv(1: string messagebody),
  void ReplyMessage2Srv(1: i32 Msg, 2: i32 lResult, 3: i32 iMsgInfoId),
  i32 sendWndCopyDataMsg2Srv(1: i32 iCopyDataMsgId, 2: KWndCopyData copyDataMsg),
  bool sendLaunchProcData2Srv(1: i32 iCMD, 2: KLaunchProcCopyData icbData),
}

service KTrayClient {
  bool SetTrayIcon(1: i32 hIcon),
  bool SetTipText(1: string wzText),
  bool ShowBallon(1: string lpszTitle, 2: string lpszText, 3: i32 nType, 4: i32 nTimeout),
  i32 SkinMessageBox(1: string lpszText, 2: string lpszCaption, 3: i32 uType),
  void SetTrayData(1: string lpValueName, 2: string lpValue),
  string GetTrayData(1: string lpValueName),
  i32 AVMessageToCli(1: string messagebody, 2: i32 i32AuthKey),
  i32 TestValueClient(1: i32 iValue, 2: i32 i32MagicKey),
  bool HipsCreateNotifyWnd(1: KEventInfo lpEventInfo, 2: i32 lpSrvKEventInfo),
  i32 SetAuthKey(1: i32 iPID, 2: i32 iAuthKey, 3: i32 i32PipePortHandle),
  i32 PostMessage(1: string lpClassName, 2: string lpWindowName, 3: i32 Msg, 4: i32 wParam, 5: i32 lParam),
  i32 SendMessage(1: string lpClassName, 2: string lpWindowName, 3: i32 Msg, 4: i32 wParam, 5: i32 lParam,
                  6: i32 iMsgInfoId),
  i32 UDiskMessageToCli(1: string messagebody),
  i32 PostCopyDataMessage(1: string lpClassName, 2: string lpWindowName, 3: i32 Msg, 4: i32 wParam,
                          5: KWndCopyData copyDataMsg),
}
