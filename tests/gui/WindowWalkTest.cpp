// Every page window as a user first sees it, opened from the hub of the whole program on the
// simulated board: each caption, label, edit text, choice (with its items), check, radio,
// button and list heading, in the order the window shows them, with what is enabled when the
// page is idle, while its worker runs and after Stop. The tables are the texts the user sees.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>

#include <ostream>
#include <string>

#include "tests/support/PageWindowFixture.h"
#include "tests/support/ProgramFixture.h"
#include "tests/support/UserInput.h"
#include "tests/support/ControlWalk.h"
#include "tests/support/WindowSnapshot.h"

namespace {

struct PageView {
    const char* name;
    int hubButton;
    const char* opening;  // Snapshot of the freshly opened window
    const char* idle, *running, *stopped;  // EnabledIds
};

// Start 1014, Stop 1003 (the simulator: its one button 1200 both).
const PageView kPages[] = {
    {"ISO 14230", 1003,
     R"(title SO14230(KWP2000)-- Device( 0 ) Connected
box 物理总线选择(PINSEL)
radio 1106 K1 (TX1 RX1) =1
radio 1107 K2(TX2 RX2) =0
radio ~ K / L (TX1 RX1 +TX2_L) =0 [off]
radio ~ RS485 (TX3 RX3) =0 [off]
radio ~ SCI (TX1 RX2) =0 [off]
box 工作模式(FMOD)
radio ~ 000--UART =0 [off]
radio ~ 001--ISO14230 =1 [off]
radio ~ 010--LIN  =0 [off]
radio ~ 011--USER Frame =0 [off]
radio ~ 100--SCI Half-Duplex =0 [off]
radio ~ 101--SCI Duplex =0 [off]
box 串口设置
text ~ 波特率:
choice 1030 6 of 192000 BPS|115200 BPS|57600  BPS|38400  BPS|28800  BPS|19200  BPS|10400  BPS|9600   BPS|4800   BPS|2400   BPS|1200   BPS|User-defined
text ~ BRG(0-65535):
edit 1111 "239" [off]
text ~ 实际波特率为:
edit ~ "10416" [ro]
text ~ 数据/校验位:
choice 1033 0 of 8 位数据,无奇偶校验|8 位数据,偶校验|8 位数据,奇校验
text ~ 停止位:
choice 1034 0 of 1 个停止位|2 个停止位
box 时间参数
text ~ UTXP1T:
edit 1016 "5"
text ~ ms
text ~ UFREET:
edit 1017 "55"
text ~ ms
text ~ URXP1MAX:
edit 1018 "10"
text ~ ms
text ~ BITADJ
edit 1057 "00"
box 快速初始化
text ~ 低电平时间:
edit 1019 "25"
text ~ ms
text ~ 高电平时间:
edit 1020 "25"
text ~ ms
box 5BAUD慢速初始化
check 1700 自动波特率检测(ABAUD) =1
text ~ <CONB>
text ~ RLEN = 3
ENL = 0
NKW2 = 1
ENKW2 = 1
NADDR = 1
text ~ 触发地址(0x):
edit 1162 "33"
text ~ W1MAX:
edit 1163 "50"
text ~ (x20) ms
text ~ W2MAX:
edit 1164 "100"
text ~ ms
text ~ W4SEND:
edit 1161 "30"
text ~ ms
text ~ W4MAX:
edit 1165 "50"
text ~ ms
box 数据桢
text ~ 总线初始化:
choice 1031 1 of 000:无初始化|001:快速初始化|010:5BAUD慢速初始化|011:自定义初始化脉冲
text ~ 数据桢格式:
choice 1032 3 of 0: No address Info|1: CARB(9141-2)|2: Physical Addr. |3: Functional Addr.
text ~ Fmt
edit 1061 "C1" [off]
text ~ Target
edit 1056 "33"
text ~ Source
edit 1058 "F1"
text ~ DLC
edit 1059 "1" [ro]
text ~ CS
edit 1062 "66" [ro]
check 1023 使用附加长度字节 =0
text ~ 数据:
edit 1060 "81 "
check 1021 循环发送 =0
edit 1025 "100"
text ~ ms
box 链路保持(由应用程序发送):
check 1010 启用 =1
text ~ 间隔时间:
edit 1012 "3000"
text ~ ms
text ~ Header+数据:
edit 1011 "C1 33 F1 3E "
text ~ CS
edit 1063 "23" [ro]
button 1024 设置为默认值
button 1014 设定并启动
button 1003 停止 [off]
button 1015 发送数据桢 [off]
button 1022 发送 初始化+数据桢 [off]
button 2 退出
)",
     "2 1010 1011 1012 1014 1016 1017 1018 1019 1020 1021 1023 1024 1025 1030 1031 1032 1033 1034 1056 1057 1058 1059 1060 1062 1063 1106 1107 1161 1162 1163 1164 1165 1700",
     "2 1003 1010 1011 1012 1015 1016 1017 1018 1019 1020 1021 1022 1023 1024 1025 1030 1031 1032 1033 1034 1056 1057 1058 1059 1060 1062 1063 1106 1107 1161 1162 1163 1164 1165 1700",
     "2 1010 1011 1012 1014 1016 1017 1018 1019 1020 1021 1023 1024 1025 1030 1031 1032 1033 1034 1056 1057 1058 1059 1060 1062 1063 1106 1107 1161 1162 1163 1164 1165 1700"},
    {"KW1281", 1005,
     R"(title KW1281 -- Device( 0 ) Connected
box 物理总线选择(PINSEL)
radio 1106 K1 (TX1 RX1) =1
radio 1107 K2(TX2 RX2) =0
radio 1097 K / L (TX1 RX1 +TX2_L) =0
radio ~ RS485 (TX3 RX3) =0 [off]
radio ~ SCI (TX1 RX2) =0 [off]
check 1019 同时输出到L线(ENL) =0 [off]
box 工作模式(FMOD)
radio ~ 000--UART =0 [off]
radio ~ 001--ISO14230 =0 [off]
radio ~ 010--LIN  =0 [off]
radio ~ 011--USER Frame =1 [off]
radio ~ 100--SCI Half-Duplex =0 [off]
radio ~ 101--SCI Duplex =0 [off]
box 串口设置
text ~ 波特率:
choice 1030 6 of 192000 BPS|115200 BPS|57600  BPS|38400  BPS|28800  BPS|19200  BPS|10400  BPS|9600   BPS|4800   BPS|2400   BPS|1200   BPS|User-defined
text ~ BRG(0-65535):
edit 1111 "239" [off]
text ~ 实际波特率为:
edit ~ "10416" [ro]
text ~ 数据/校验位:
choice 1033 0 of 8 位数据,无奇偶校验|8 位数据,偶校验|8 位数据,奇校验
text ~ 停止位:
choice 1034 0 of 1 个停止位|2 个停止位
box 时间参数
text ~ URXP1MAX:
edit 1018 "20"
text ~ ms
text ~ UTXP1T:
edit 1016 "5"
text ~ ms
text ~ UFREET:
edit 1017 "55"
text ~ ms
text ~ UTXVT0:
edit 1020 "20"
text ~ ms
text ~ URXVT1:
edit 1023 "2"
text ~ ms
text ~ BITADJ: 0x
edit 1057 "00"
text ~ OTHER Register(桢长度/桢校验):
text ~ UFLENCON = 0x80
UFRMV = 0xE1
UFLAND = 0xFF
text ~ ETX= 0x03
box 5BAUD慢速初始化
check 1700 自动波特率检测(ABAUD) =1
text ~ <CONB>
text ~ RLEN = 3
NKW2 = 1
ENKW2 = 1
NADDR = 0
text ~ 触发地址:
edit 1162 "15"
text ~ W1MAX:
edit 1163 "50"
text ~ (x20) ms
text ~ W2MAX:
edit 1164 "100"
text ~ ms
text ~ W4SEND:
edit 1161 "30"
text ~ ms
text ~ W4MAX:
edit 1165 "50"
text ~ ms
box 数据块
text ~ 总线初始化:
choice 1031 2 of 000:无初始化|001:快速初始化|010:5BAUD慢速初始化|011:自定义初始化脉冲
text ~ LenByte
edit 1061 "03" [ro]
text ~ DLC
edit 1059 "1" [ro]
text ~ 数据:
edit 1060 "09 "
check 1021 循环发送 =0
edit 1025 "100"
text ~ ms
box 链路保持(由应用程序发送):
check 1010 启用 =1
text ~ 间隔时间:
edit 1012 "500"
text ~ ms
text ~ 数据(不包含:长度\计数\结束):
edit 1011 "09 "
button 1024 设置为默认值
button 1014 设定并启动
button 1003 停止 [off]
button 1015 发送数据桢 [off]
button 1022 发送 初始化 [off]
button 2 退出
)",
     "2 1010 1011 1012 1014 1016 1017 1018 1020 1021 1023 1024 1025 1030 1031 1033 1034 1057 1059 1060 1061 1097 1106 1107 1161 1162 1163 1164 1165 1700",
     "2 1003 1010 1011 1012 1015 1016 1017 1018 1020 1021 1022 1023 1024 1025 1030 1031 1033 1034 1057 1059 1060 1061 1097 1106 1107 1161 1162 1163 1164 1165 1700",
     "2 1010 1011 1012 1014 1016 1017 1018 1020 1021 1023 1024 1025 1030 1031 1033 1034 1057 1059 1060 1061 1097 1106 1107 1161 1162 1163 1164 1165 1700"},
    {"SCI", 1013,
     R"(title SCI -- Device( 0 ) Connected
box 物理总线选择(PINSEL)
radio ~ K1(TX1 RX1) =0 [off]
radio ~ K2(TX2 RX2) =0 [off]
radio ~ K / L (TX1 RX1 +TX2_L) =0 [off]
radio ~ SAE J1708 (TX3 RX3) =0 [off]
radio 1099 SCI (TX1 RX2) =1
radio 1100 SCI (TX2 RX1) =0
box 工作模式(FMOD)
radio ~ 000--UART =0 [off]
radio ~ 001--ISO14230 =0 [off]
radio ~ 010--LIN  =0 [off]
radio ~ 011--USER Frame =0 [off]
radio 1204 100--SCI Half-Duplex =1
radio 1205 101--SCI Duplex =0
box 串口设置
text ~ 波特率:
choice 1030 6 of 192000 BPS|115200 BPS|57600  BPS|38400  BPS|28800  BPS|19200  BPS|10400  BPS|9600   BPS|4800   BPS|2400   BPS|1200   BPS|User-defined
text ~ BRG(0-65535):
edit 1111 "239" [off]
text ~ 实际波特率为:
edit ~ "10416" [ro]
text ~ 数据/校验位:
choice 1033 0 of 8 位数据,无奇偶校验|8 位数据,偶校验|8 位数据,奇校验
text ~ 停止位:
choice 1034 0 of 1 个停止位|2 个停止位
box 时间参数
text ~ UTXP1T:
edit 1016 "0"
text ~ ms
text ~ UFREET:
edit 1017 "55"
text ~ ms
text ~ URXP1MAX:
edit 1018 "10"
text ~ ms
text ~ UTXVT0:
edit 1020 "20"
text ~ ms
text ~ URXVT1:
edit 1023 "2"
text ~ ms
text ~ UFLAND:
edit 1027 "FF"
box UFRMV / UFLENCON
check 1019 使能接收时每字节校验 =0
check 1010 使能发送时每字节校验 =0
check 1028 校验字节反向 =0
check 1029 需校验桢的最后一字节 =0
check 1022 使能长度控制 =0
check 1036 CHKSUM =0
text ~ OFFSET:
choice 1035 0 of 0|1|2|3|4|5|6|7
text ~ LRR:
choice 1032 0 of 0|1|2|3|4|5|6|7
text ~ LENP:
choice 1031 0 of 0|1|2|3|4|5|6|7
text ~ CHKMOD:
choice 1037 0 of 0|1
box 数据桢
text ~ DLC
edit 1059 "5" [ro]
text ~ 数据:
edit 1060 "11 22 33 44 55 "
button 1024 设置为默认值
button 1014 设定并启动
button 1003 停止 [off]
button 1015 发送数据桢 [off]
button 2 退出
)",
     "2 1010 1014 1016 1017 1018 1019 1020 1022 1023 1024 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1059 1060 1099 1100 1204 1205",
     "2 1003 1010 1015 1016 1017 1018 1019 1020 1022 1023 1024 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1059 1060 1099 1100 1204 1205",
     "2 1010 1014 1016 1017 1018 1019 1020 1022 1023 1024 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1059 1060 1099 1100 1204 1205"},
    {"user mode (ISO 9141-2)", 1004,
     R"(title USER MOD (ISO9141) -- Device( 0 ) Connected
box 物理总线选择(PINSEL)
radio 1106 K1 (TX1 RX1) =1
radio 1107 K2(TX2 RX2) =0
radio 1097 K / L (TX1 RX1 +TX2_L) =0
check 1023 同时输出到L线(ENL) =1
text ~ FMOD(UFRMCON)
=011  User Mode
box 串口设置
text ~ 波特率:
choice 1030 6 of 192000 BPS|115200 BPS|57600  BPS|38400  BPS|28800  BPS|19200  BPS|10400  BPS|9600   BPS|4800   BPS|2400   BPS|1200   BPS|User-defined
text ~ BRG(0-65535):
edit 1111 "239" [off]
text ~ 实际波特率为:
edit 1064 "10416" [ro]
text ~ 数据/校验位:
choice 1033 0 of 8 位数据,无奇偶校验|8 位数据,偶校验|8 位数据,奇校验
text ~ 停止位:
choice 1034 0 of 1 个停止位|2 个停止位
box 快速初始化
text ~ 低电平时间:
edit 1019 "25"
text ~ ms
text ~ 高电平时间:
edit 1020 "25"
text ~ ms
box 时间参数
text ~ URXP1MAX:
edit 1018 "10"
text ~ ms
text ~ UTXP1T:
edit 1016 "5"
text ~ ms
text ~ UFREET:
edit 1017 "55"
text ~ ms
text ~ UTXVT0:
edit 1028 "20"
text ~ ms
text ~ URXVT1:
edit 1029 "2"
text ~ ms
text ~ BITADJ
edit 1057 "00"
text ~ UFLAND:
edit 1027 "FF"
box UFRMV / UFLENCON
check 1038 使能接收时每字节校验 =0
check 1013 使能发送时每字节校验 =0
check 1039 校验字节反向 =0
check 1040 需校验桢的最后一字节 =0
check 1026 使能长度控制 =0
check 1041 CHKSUM =1
text ~ OFFSET:
choice 1037 0 of 0|1|2|3|4|5|6|7
text ~ LRR:
choice 1036 0 of 0|1|2|3|4|5|6|7
text ~ LENP:
choice 1035 0 of 0|1|2|3|4|5|6|7
text ~ CHKMOD:
choice 1042 0 of 0|1
box 5BAUD慢速初始化
check 1700 自动波特率ABAUD =1
text ~ 触发地址(0x):
edit 1162 "33"
text ~ W1MAX:
edit 1163 "50"
text ~ (x20) ms
text ~ WnMAX:
edit 1164 "100"
text ~ ms
text ~ W4SEND:
edit 1161 "30"
text ~ ms
text ~ W4MAX:
edit 1165 "50"
text ~ ms
text ~ RLEN:
choice 1044 3 of 0|1|2|3|4|5|6|7
text ~ NKW2:
choice 1045 1 of 0|1
text ~ ENKW2:
choice 1046 1 of 0|1
text ~ USERKW:
edit 1047 "00"
box 数据桢
text ~ 总线初始化:
choice 1031 2 of 000:无初始化|001:快速初始化|010:5BAUD慢速初始化|011:自定义初始化脉冲
text ~ DLC
edit 1059 "5" [ro]
text ~ CS
edit 1062 "C4" [ro]
text ~ 数据:
edit 1060 "68 6A F1 01 00 "
check 1021 循环发送 =0
edit 1025 "200"
text ~ ms
box 链路保持(由应用程序发送):
check 1010 启用 =1
text ~ 间隔时间:
edit 1012 "3000"
text ~ ms
text ~ 数据:
edit 1011 "68 6A F1 3E "
text ~ CS
edit 1063 "01" [ro]
button 1014 设定并启动
button 1003 停止 [off]
button 1015 发送数据桢 [off]
button 1022 发送 初始化+数据桢 [off]
button 2 退出
)",
     "2 1010 1011 1012 1013 1014 1016 1017 1018 1019 1020 1021 1023 1025 1026 1027 1028 1029 1030 1031 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1044 1045 1046 1047 1057 1059 1060 1062 1063 1064 1097 1106 1107 1161 1162 1163 1164 1165 1700",
     "2 1003 1010 1011 1012 1013 1015 1016 1017 1018 1019 1020 1021 1022 1023 1025 1026 1027 1028 1029 1030 1031 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1044 1045 1046 1047 1057 1059 1060 1062 1063 1064 1097 1106 1107 1161 1162 1163 1164 1165 1700",
     "2 1010 1011 1012 1013 1014 1016 1017 1018 1019 1020 1021 1023 1025 1026 1027 1028 1029 1030 1031 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1044 1045 1046 1047 1057 1059 1060 1062 1063 1064 1097 1106 1107 1161 1162 1163 1164 1165 1700"},
    {"J1708", 1011,
     R"(title J1708-- Device( 0 ) Connected
text ~ 注: K线按 J1708时序 J1587应用层工作
box 物理总线选择(PINSEL)
radio 1106 K1 (TX1 RX1) =1
radio 1107 K2(TX2 RX2) =0
radio 1098 SAE J1708(TX3 RX3) =0
box 工作模式(FMOD)
radio 1108 000--UART =0 [off]
radio 1109 001--ISO14230 =0 [off]
radio 1110 010--LIN =0 [off]
radio 1090 011--USER Frame =1
box 串口设置
text ~ 波特率:
choice 1030 7 of 192000 BPS|115200 BPS|57600  BPS|38400  BPS|28800  BPS|19200  BPS|10400  BPS|9600   BPS|4800   BPS|2400   BPS|1200   BPS|User-defined
text ~ BRG(0-65535):
edit 1111 "259" [off]
text ~ 实际波特率为:
edit 1064 "9615" [ro]
text ~ 数据/校验位:
choice 1033 0 of 8 位数据,无奇偶校验|8 位数据,偶校验|8 位数据,奇校验
text ~ 停止位:
choice 1034 0 of 1 个停止位|2 个停止位
box 时间参数
text ~ URXP1MAX:
edit 1018 "0"
text ~ ms
text ~ UTXP1T:
edit 1016 "0"
text ~ ms
text ~ UFREET:
edit 1017 "0"
text ~ ms
text ~ 注: URXP1MAX UTXP1T UFREET
必须设定为0ms，URXP1MAX实际为11bit times. UFREET(Ta=10bits+2*P bits)
box UFRMCOM=0x83  UFRMV=0x08(ENCS)  UFLENCON=0x08(CSM)
check 1036 CHKSUM (ENCS) =1
text ~ CSM:
choice 1037 1 of 0|1
text ~ Message Period ( P ):
choice 1035 0 of 1|2|3|4|5|6|7|8
box 数据桢
text ~ MID: 0x
edit 1218 "10"
text ~ DLC
edit 1059 "8" [ro]
text ~ CS
edit 1062 "84" [ro]
text ~ 数据:
edit 1060 "0A 0B 0C 0D 0E 0F 10 11 "
button 1014 设定并启动
button 1003 停止 [off]
button 1015 发送数据桢 [off]
button 2 退出
)",
     "2 1014 1016 1017 1018 1030 1033 1034 1035 1036 1037 1059 1060 1062 1064 1090 1098 1106 1107 1218",
     "2 1003 1015 1016 1017 1018 1030 1033 1034 1035 1036 1037 1059 1060 1062 1064 1090 1098 1106 1107 1218",
     "2 1014 1016 1017 1018 1030 1033 1034 1035 1036 1037 1059 1060 1062 1064 1090 1098 1106 1107 1218"},
    {"LIN", 1160,
     R"(title LIN-- Device( 0 ) Connected
box 物理总线选择(PINSEL)
radio 1106 K1 (TX1 RX1) =1
radio 1107 K2(TX2 RX2) =0
box 工作模式(FMOD)
radio ~ 000--UART =0 [off]
radio ~ 001--ISO14230 =0 [off]
radio ~ 010--LIN  =1 [off]
radio ~ 011--USER Frame =0 [off]
radio ~ 100--SCI Half-Duplex =0 [off]
radio ~ 101--SCI Duplex =0 [off]
check 1112 从机自动波特率(LAB) =0
box 串口设置
text ~ 波特率:
choice 1030 7 of 192000 BPS|115200 BPS|57600  BPS|38400  BPS|28800  BPS|19200  BPS|10400  BPS|9600   BPS|4800   BPS|2400   BPS|1200   BPS|User-defined
text ~ BRG(0-65535):
edit 1111 "259" [off]
text ~ 实际波特率为:
edit ~ "9615" [ro]
text ~ 数据/校验位:
choice 1033 0 of 8 位数据,无奇偶校验|8 位数据,偶校验|8 位数据,奇校验
text ~ 停止位:
choice 1034 0 of 1 个停止位|2 个停止位
box 时间参数
text ~ (从机自动应答桢响应间隔) UTXP1T:
edit 1016 "8"
text ~ ms
text ~ (主机发送时，最小桢间隙) UFREET:
edit 1017 "0"
text ~ ms
text ~ (>桢响应间隔) URXP1T:
edit 1018 "10"
text ~ ms
box LACKB
text ~ LACKB0:
edit 1011 "10 11 12 13 14 15 16 17 "
button 1211 SET
text ~ LACKB1:
edit 1012 "20 21 22 23 24 25 26 27 "
button 1212 SET
text ~ LACKB2:
edit 1013 "A0 A1 A2 A3 A4 A5 A6 A7 "
button 1213 SET
text ~ LACKB3:
edit 1019 "B0 B1 B2 B3 B4 B5 B6 B7 "
button 1214 SET
box LIN 从机应答数据设置(从机模式应用程序应答)
text ~ ID:
edit 1023 "10"
edit 1021 "00 01 02 03 04 05 06 07 "
text ~ ID:
edit 1025 "11"
edit 1022 "10 11 12 13 14 15 16 17 "
text ~ ID:
edit 1027 "12"
edit 1026 "20 21 22 23 24 25 26 27 "
text ~ ID:
edit 1029 "13"
edit 1028 "30 31 32 33 34 35 36 37 "
text ~ ID:
edit 1032 "14"
edit 1031 "40 41 42 43 44 45 46 47 "
text ~ ID:
edit 1036 "15"
edit 1035 "50 51 52 53 54 55 56 57 "
text ~ ID:
edit 1038 "16"
edit 1037 "60 61 62 63 64 65 66 67 "
text ~ ID:
edit 1040 "17"
edit 1039 "70 71 72 73 74 75 76 77 "
box LIN 主机数据(ID)发送
edit 1061 "48"
edit 1059 "8" [ro]
edit 1063 "8" [ro]
edit 1062 "E3" [ro]
text ~ ID:
text ~ DLC
text ~ ID_LEN
text ~ CS
text ~ 数据:
edit 1060 "00 01 02 03 04 05 06 07 "
button 1015 发送 [off]
text ~ 注：实际发送长度决定于ID配置表
list 1215  ID:70|IDEN:48|SRP:41|L.M:39|CSM:45|AFE:41|AFP:41 rows 64
button 1024 设置ID配置表
button 1014 设定并启动
button 1003 停止 [off]
button 2 退出
)",
     "2 1011 1012 1013 1014 1016 1017 1018 1019 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1059 1060 1061 1062 1063 1106 1107 1112 1211 1212 1213 1214 1215",
     "2 1003 1011 1012 1013 1015 1016 1017 1018 1019 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1059 1060 1061 1062 1063 1106 1107 1112 1211 1212 1213 1214 1215",
     "2 1011 1012 1013 1014 1016 1017 1018 1019 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1059 1060 1061 1062 1063 1106 1107 1112 1211 1212 1213 1214 1215"},
    {"UART test", 1014,
     R"(title UART Test-- Device( 0 ) Connected
box 物理总线选择(PINSEL)
radio 1106 K1 (TX1 RX1) =1
radio 1107 K2 (TX2 RX2) =0
radio 1108 SCI (TX1 RX2) =0
radio 1109 SCI (TX2 RX1) =0
box 工作模式(FMOD)
radio ~ 000--UART =1
radio ~ 001--ISO14230 =0 [off]
radio ~ 010--LIN  =0 [off]
radio ~ 011--USER Frame =0 [off]
box 串口设置
text ~ 波特率:
choice 1030 7 of 192000 BPS|115200 BPS|57600  BPS|38400  BPS|28800  BPS|19200  BPS|10400  BPS|9600   BPS|4800   BPS|2400   BPS|1200   BPS|User-defined
text ~ BRG(0-65535):
edit 1111 "259" [off]
text ~ 实际波特率为:
edit ~ "9615" [ro]
text ~ 数据/校验位:
choice 1033 0 of 8 位数据,无奇偶校验|8 位数据,偶校验|8 位数据,奇校验
text ~ 停止位:
choice 1034 0 of 1 个停止位|2 个停止位
box 数据桢
text ~ DLC
edit 1059 "8" [ro] [off]
text ~ 数据:
edit 1060 "00 01 02 03 04 05 06 07 "
text ~ 注: 本实例只是对普通UART模式进行测试，无实际应用。
 用K1 K2测试时能接收到自已发送的数据
text ~ 发送接收方式：用PIC18F4550中断进行
box 休眠测试
check 1120 WCE=1 =1
check 1121 WUE=1 =1
check 1122 WJE=1 =1
button 1123 休眠
button 1124 唤醒
button 1125 RD_INTF
edit 1065 "" [ro]
text ~ 电瓶电压:
text 1265 00.00
button 1014 设定并启动
button 1003 停止 [off]
button 1015 发送数据桢 [off]
button 2 退出
)",
     "2 1014 1030 1033 1034 1060 1065 1106 1107 1108 1109 1120 1121 1122 1123 1124 1125",
     "2 1003 1015 1030 1033 1034 1060 1065 1106 1107 1108 1109 1120 1121 1122 1123 1124 1125",
     "2 1014 1030 1033 1034 1060 1065 1106 1107 1108 1109 1120 1121 1122 1123 1124 1125"},
    {"ISO 15765", 1006,
     R"(title CAN -- Device( 0 ) Connected
box 总线
radio 1101 双线CAN =1
radio 1096 单线CAN (SWC) =0
check 1010 EN=1 =1
check 1051 NSTB=1 =1
box CCTRL0
radio 1087 正常<000> =1
radio 1088 环回<010> =0
radio 1089 仅监听<011> =0
box 位时间
text ~ 波特率:
choice 1030 1 of 1000 KBPS|500  KBPS|250  KBPS|200  KBPS|125  KBPS|100  KBPS|83.3 KBPS|50   KBPS|40   KBPS|33.3 KBPS|20   KBPS|User-defined
text ~ BRP:
edit 1056 "1" [off]
text ~ SJW:
choice 1031 3 of 1TQ|2TQ|3TQ|4TQ [off]
text ~ SEG2PH:
choice 1032 5 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ SEG1PH:
choice 1033 7 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ PRSEG:
choice 1034 4 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ SAM=1
text ~ SEG2PHTS=1
box CPROCON
check 1011 使能协议 =1
check 1012 OP0E Enable =1
check 1013 OP1E Enable =1
text ~ PTYPE:
choice 1035 0 of 000 ISO15765 STD ADDR|001 ISO15765 EXT ADDR
box 验收滤波器与屏蔽器
text ~ SID+EID(29bits)
text ~ SID-11bit
text ~ EXIDE
text ~ MSKSEL
text ~ FxBP
check 1052 F0 =1
edit 1058 "1FA00000"
edit 1099 "7E8"
choice 1152 0 of 0|1
choice 1037 0 of 0|1|2|None
choice 1038 8 of 0|1|2|3|4|5|6|7|FIFO
check 1054 F1 =1
edit 1062 "1FA40000"
edit 1100 "7E9"
choice 1039 0 of 0|1
choice 1040 0 of 0|1|2|None
choice 1041 8 of 0|1|2|3|4|5|6|7|FIFO
check 1067 F2 =1
edit 1065 "1FA00000"
edit 1106 "7E8"
choice 1042 0 of 0|1
choice 1043 1 of 0|1|2|None
choice 1044 8 of 0|1|2|3|4|5|6|7|FIFO
check 1070 F3 =0
edit 1068 "00000000"
edit 1107 "000"
choice 1045 0 of 0|1
choice 1046 3 of 0|1|2|None
choice 1047 8 of 0|1|2|3|4|5|6|7|FIFO
check 1073 F4 =0
edit 1071 "00000000"
edit 1108 "000"
choice 1048 0 of 0|1
choice 1049 3 of 0|1|2|None
choice 1050 8 of 0|1|2|3|4|5|6|7|FIFO
check 1078 F5 =0
edit 1074 "00000000"
edit 1109 "000"
choice 1076 0 of 0|1
choice 1077 3 of 0|1|2|None
choice 1079 8 of 0|1|2|3|4|5|6|7|FIFO
check 1084 F6 =0
edit 1080 "00000000"
edit 1110 "000"
choice 1082 0 of 0|1
choice 1083 3 of 0|1|2|None
choice 1085 8 of 0|1|2|3|4|5|6|7|FIFO
check 1093 F7 =0
edit 1086 "00000000"
edit 1111 "000"
choice 1091 0 of 0|1
choice 1092 3 of 0|1|2|None
choice 1094 8 of 0|1|2|3|4|5|6|7|FIFO
text ~ SID-EID(29bits)
text ~ SID-11bit
text ~ MIDE
text ~ MASK0
edit 1143 "1FFC0000"
edit 1113 "7FF"
choice 1145 1 of 0|1
text ~ MASK1
edit 1146 "1FE00000"
edit 1114 "7F8"
choice 1148 1 of 0|1
text ~ MASK2
edit 1149 "1FFC0000"
edit 1115 "7FF"
choice 1151 1 of 0|1
text ~ 注:本实例只使用16个过滤器中的8个，其他的用法相同
box C15765TXFC
check 1017 LENM=1 =1
check 1018 BSM=1 =0
check 1019 STM=1 =0
text ~ FILTER:
choice 1036 0 of 0|1|2|3|4|5|6|7
text ~ BSIZE:
edit 1154 "16"
text ~ N_AE_TX: 0x
edit 1155 "61"
text ~ N_AE_RX: 0x
edit 1156 "61"
box C15765RXFC0
text ~ FILTER:
choice 1063 0 of 0|1|2|3|4|5|6|7
text ~ BSIZE:
edit 1157 "0"
text ~ N_AE_TX: 0x
edit 1158 "61"
box C15765RXFC1
text ~ FILTER:
choice 1066 1 of 0|1|2|3|4|5|6|7
text ~ BSIZE:
edit 1159 "0"
text ~ N_AE_TX: 0x
edit 1160 "61"
box 时间参数
text ~ N_BS:
edit 1163 "200"
text ~ x5ms
text ~ N_ST:
edit 1164 "0"
text ~ x100us
text ~ N_BR:
edit 1165 "10"
text ~ x100us
text ~ N_CR:
edit 1166 "-"
text ~ x5ms
box Auto  FC Data (接收时，自动应答的流控制桢FC)
radio 1116 标准桢-11bits =1
radio 1117 扩展桢-29bits =0
text ~ ID
text ~ DLC
text ~ N_AE
text ~ PCI
text ~ BS ST +opt Data
text ~ FC0 :
edit 1072 "7E0"
edit 1075 "8" [ro]
edit 1167 "-" [off]
edit 1161 "30"
edit 1081 "00 00 00 00 00 00 00 "
text ~ FC1 :
edit 1095 "7E1"
edit 1097 "8" [ro]
edit 1168 "-" [off]
edit 1162 "30"
edit 1098 "00 00 00 00 00 00 00 "
button 1103 设置为接收全部
button 1028 置OBD2 11bits
button 1102 置OBD2 29bits
box ISO15765-单桢数据发送(CTXB0)
text ~ 桢类型:
choice 1104 0 of 标准桢|扩展帧
text ~ 桢格式:
choice 1105 0 of 数据桢|远程帧
text ~ ID
edit 1055 "7DF"
text ~ DLC
edit 1059 "3" [ro]
text ~ 请求数据:
edit 1060 "02 01 00 "
button 1015 发送 [off]
box ISO15765-FF/FC/CF 多桢数据发送测试
text ~ ID
text ~ DLC
text ~ N_AE
text ~ PCI
text ~ Length  Data6(5)
edit 1118 "7E0"
edit 1119 "8" [ro]
edit 1170 "-" [ro]
edit 1169 "11" [ro]
edit 1172 "02" [ro]
edit 1120 "00 01 02 03 04 05 "
text ~ 数据有效长度:
edit 1171 "258"
text ~ Message Buffer MAX:252bytes valid
edit 1112 "06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F 40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F 60 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 75 76 77 78 79 7A 7B 7C 7D 7E 7F 80 81 82 83 84 85 86 87 88 89 8A 8B 8C 8D 8E 8F 90 91 92 93 94 95 96 97 98 99 9A 9B 9C 9D 9E 9F A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0 B1 B2 B3 B4 B5 B6 B7 B8 B9 BA BB BC BD BE BF C0 C1 C2 C3 C4 C5 C6 C7 C8 C9 CA CB CC CD CE CF D0 D1 D2 D3 D4 D5 D6 D7 D8 D9 DA DB DC DD DE DF E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF 00 01 "
button 1016 启动多桢发送 [off]
box 链路保持（应用程序发送）
text ~ 时间:
edit 1173 "3000"
text ~ ms
text ~ ID:
edit 1057 "7DF"
text ~ 数据:
edit 1061 "02 01 00"
button 1271 启动链路保持 [off]
button 1014 确定设置并启动
button 1003 停止 [off]
button 2 退出
)",
     "2 1010 1011 1012 1013 1014 1017 1018 1019 1028 1030 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1051 1052 1054 1055 1057 1058 1059 1060 1061 1062 1063 1065 1066 1067 1068 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083 1084 1085 1086 1087 1088 1089 1091 1092 1093 1094 1095 1096 1097 1098 1099 1100 1101 1102 1103 1104 1105 1106 1107 1108 1109 1110 1111 1112 1113 1114 1115 1116 1117 1118 1119 1120 1143 1145 1146 1148 1149 1151 1152 1154 1155 1156 1157 1158 1159 1160 1161 1162 1163 1164 1165 1166 1169 1170 1171 1172 1173",
     "2 1003 1010 1011 1012 1013 1015 1016 1017 1018 1019 1028 1030 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1051 1052 1054 1055 1057 1058 1059 1060 1061 1062 1063 1065 1066 1067 1068 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083 1084 1085 1086 1087 1088 1089 1091 1092 1093 1094 1095 1096 1097 1098 1099 1100 1101 1102 1103 1104 1105 1106 1107 1108 1109 1110 1111 1112 1113 1114 1115 1116 1117 1118 1119 1120 1143 1145 1146 1148 1149 1151 1152 1154 1155 1156 1157 1158 1159 1160 1161 1162 1163 1164 1165 1166 1169 1170 1171 1172 1173 1271",
     "2 1010 1011 1012 1013 1014 1017 1018 1019 1028 1030 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1051 1052 1054 1055 1057 1058 1059 1060 1061 1062 1063 1065 1066 1067 1068 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083 1084 1085 1086 1087 1088 1089 1091 1092 1093 1094 1095 1096 1097 1098 1099 1100 1101 1102 1103 1104 1105 1106 1107 1108 1109 1110 1111 1112 1113 1114 1115 1116 1117 1118 1119 1120 1143 1145 1146 1148 1149 1151 1152 1154 1155 1156 1157 1158 1159 1160 1161 1162 1163 1164 1165 1166 1169 1170 1171 1172 1173"},
    {"J1939", 1009,
     R"(title J1939 -- Device( 0 ) Connected
box 总线
radio 1101 双线CAN =1
radio 1096 单线CAN (SWC) =0 [off]
check 1010 EN=1 =1 [off]
check 1051 NSTB=1 =1 [off]
box CCTRL0
radio 1087 正常<000> =1
radio 1088 环回<010> =0 [off]
radio 1089 仅监听<011> =0 [off]
box 位时间
text ~ 波特率:
choice 1030 2 of 1000 KBPS|500  KBPS|250  KBPS|200  KBPS|125  KBPS|100  KBPS|83.3 KBPS|50   KBPS|40   KBPS|33.3 KBPS|20   KBPS|User-defined [off]
text ~ BRP:
edit 1056 "3" [off]
text ~ SJW:
choice 1031 3 of 1TQ|2TQ|3TQ|4TQ [off]
text ~ SEG2PH:
choice 1032 5 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ SEG1PH:
choice 1033 7 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ PRSEG:
choice 1034 4 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ SAM=1
text ~ SEG2PHTS=1
box CPROCON
check 1011 使能协议 =1
check 1012 OP0E Enable =1
check 1013 OP1E Enable =1
text ~ PTYPE:
choice 1035 2 of 000 ISO15765 STD ADDR|001 ISO15765 EXT ADDR|010 J1939|011 TP2.0 [off]
box 验收滤波器与屏蔽器
text ~ SID+EID(29bits)
text ~ EXIDE
text ~ MSKSEL
text ~ FxBP
check 1052 F0 =1
edit 1058 "0000F900"
choice 1152 1 of 0|1
choice 1037 0 of 0|1|2|None
choice 1038 8 of 0|1|2|3|4|5|6|7|FIFO
check 1054 F1 =1
edit 1062 "0000FF00"
choice 1039 1 of 0|1
choice 1040 0 of 0|1|2|None
choice 1041 8 of 0|1|2|3|4|5|6|7|FIFO
check 1067 F2 =1
edit 1065 "0F000000"
choice 1042 1 of 0|1
choice 1043 1 of 0|1|2|None
choice 1044 8 of 0|1|2|3|4|5|6|7|FIFO
check 1070 F3 =0
edit 1068 "0000FF00"
choice 1045 1 of 0|1
choice 1046 0 of 0|1|2|None
choice 1047 8 of 0|1|2|3|4|5|6|7|FIFO
check 1073 F4 =0
edit 1071 "00000000"
choice 1048 0 of 0|1
choice 1049 3 of 0|1|2|None
choice 1050 8 of 0|1|2|3|4|5|6|7|FIFO
check 1078 F5 =0
edit 1074 "00000000"
choice 1076 0 of 0|1
choice 1077 3 of 0|1|2|None
choice 1079 8 of 0|1|2|3|4|5|6|7|FIFO
check 1084 F6 =0
edit 1080 "00000000"
choice 1082 0 of 0|1
choice 1083 3 of 0|1|2|None
choice 1085 8 of 0|1|2|3|4|5|6|7|FIFO
check 1093 F7 =0
edit 1086 "00000000"
choice 1091 0 of 0|1
choice 1092 3 of 0|1|2|None
choice 1094 8 of 0|1|2|3|4|5|6|7|FIFO
text ~ SID-EID(29bits)
text ~ MIDE
text ~ MASK0
edit 1143 "0000FF00"
choice 1145 1 of 0|1
text ~ MASK1
edit 1146 "0F000000"
choice 1148 1 of 0|1
text ~ MASK2
edit 1149 "1FFFFFFF"
choice 1151 1 of 0|1
text ~ 注:本实例只使用16个过滤器中的8个，其他的用法相同
box J1939-单桢数据发送(CTXB0)
text ~ ID
edit 1055 "18EA00F9"
text ~ DLC
edit 1059 "8" [ro]
text ~ 数据:
edit 1060 "E0 FE 00 FF FF FF FF FF "
text ~ 填充值
edit 1131 "FF"
check 1019 固定长度 =1
button 1015 发送 [off]
text ~ 当前发送桢信息(RES=0):
text ~ PDU Fmt
text ~ Priority
text ~ DP
text ~ PF
text ~ GE
text ~ DA
text ~ SA
text ~ PGN
text 1240 PDU1
text 1241 6
text 1242 0
text 1243 0xEA
text 1244 --
text 1245 0x00
text 1246 0xF9
text 1247 0x00EA00 ( 59904 )
box CJ1939CTRL
text ~ R0FLTN
choice 1250 0 of 0|1|2|3|4|5|6|7
text ~ R1FLTN
choice 1053 0 of 0|1|2|3|4|5|6|7
text ~ TXFLTN
choice 1057 0 of 0|1|2|3|4|5|6|7
text ~ BSIZE:
edit 1249 "16"
text ~ T2:
edit 1251 "250"
text ~ x5ms
text ~ T3:
edit 1252 "250"
text ~ x5ms
text ~ Tr:
edit 1253 "100"
text ~ ms
text ~ Ts:
edit 1254 "100"
text ~ ms
check 1248 BSM=1 =0
text ~ Priority
text ~ ID
text ~ DLC
text ~ DA
text ~ SA
text ~ CTS0 (CTXB6):
choice 1064 7 of 0|1|2|3|4|5|6|7
edit 1255 "1CEC00F9" [ro]
edit 1268 "8" [ro]
edit 1127 "00"
edit 1129 "F9"
text ~ CTS1 (CTXB7):
choice 1066 7 of 0|1|2|3|4|5|6|7
edit 1256 "1CEC00F9" [ro]
edit 1269 "8" [ro]
edit 1128 "00"
edit 1130 "F9"
box TP_CM_RTS(CTXB4  PGN=60416)/BAM
text ~ Prio:
choice 1061 7 of 0|1|2|3|4|5|6|7
text ~ ID
edit 1259 "1CEC00F9" [ro]
text ~ DLC
edit 1266 "8" [ro]
text ~ 目标(DA):
edit 1122 "00"
text ~ 源(SA):
edit 1123 "F9"
text ~ 数据总长:
edit 1261 "23"
text ~ 桢数:
edit 1121 "4" [ro]
text ~ 传送的PGN:
edit 1262 "00FEE3"
text ~ DATA:
edit 1132 "10 17 00 04 FF E3 FE 00 " [ro]
check 1017 CJ1939CTRL.BAM=1 =0
box PF_DT (CTXB5 PGN=60160)
text ~ Prio:
choice 1063 7 of 0|1|2|3|4|5|6|7
edit 1124 "1CEB00F9" [ro]
text ~ DLC
edit 1267 "8" [ro]
text ~ DA
edit 1125 "00" [ro]
text ~ SA
edit 1126 "F9" [ro]
box 多桢数据发送
text ~ Message Buffer MAX:252bytes valid
edit 1112 "00 01 02 03 04 05 06 \n07 08 09 0A 0B 0C 0D \n0E 0F 10 11 12 13 14 \n15 16 17 18 19 1A 1B \n1C 1D 1E 1F 20 21 22 \n23 24 25 26 27 28 29 \n2A 2B 2C 2D 2E 2F 30 \n31 32 33 34 35 36 37 \n38 39 3A 3B 3C 3D 3E \n3F 40 41 42 43 44 45 \n46 47 48 49 4A 4B 4C \n4D 4E 4F 50 51 52 53 \n54 55 56 57 58 59 5A \n5B 5C 5D 5E 5F 60 61 \n62 63 64 65 66 67 68 \n69 6A 6B 6C 6D 6E 6F \n70 71 72 73 74 75 76 \n77 78 79 7A 7B 7C 7D \n7E 7F 80 81 82 83 84 \n85 86 87 88 89 8A 8B \n8C 8D 8E 8F 90 91 92 \n93 94 95 96 97 98 99 \n9A 9B 9C 9D 9E 9F A0 \nA1 A2 A3 A4 A5 A6 A7 \nA8 A9 AA AB AC AD AE \nAF B0 B1 B2 B3 B4 B5 \nB6 B7 B8 B9 BA BB BC \nBD BE BF C0 C1 C2 C3 \nC4 C5 C6 C7 C8 C9 CA \nCB CC CD CE CF D0 D1 \nD2 D3 D4 D5 D6 D7 D8 \nD9 DA DB DC DD DE DF \nE0 E1 E2 E3 E4 E5 E6 \nE7 E8 E9 EA EB EC ED \nEE EF F0 F1 F2 F3 F4 \nF5 F6 F7 F8 F9 FA FB \nFC FD FE FF "
text ~ 缓冲区数据长度: 
edit 1264 "256" [ro]
button 1016 启动多桢发送 [off]
button 1021 设置为默认
button 1014 确定设置并启动
button 1003 停止 [off]
button 2 退出
)",
     "2 1011 1012 1013 1014 1017 1019 1021 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1052 1053 1054 1055 1057 1058 1059 1060 1061 1062 1063 1064 1065 1066 1067 1068 1070 1071 1073 1074 1076 1077 1078 1079 1080 1082 1083 1084 1085 1086 1087 1091 1092 1093 1094 1101 1112 1121 1122 1123 1124 1125 1126 1127 1128 1129 1130 1131 1132 1143 1145 1146 1148 1149 1151 1152 1248 1249 1250 1251 1252 1253 1254 1255 1256 1259 1261 1262 1264 1266 1267 1268 1269",
     "2 1003 1011 1012 1013 1015 1016 1017 1019 1021 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1052 1053 1054 1055 1057 1058 1059 1060 1061 1062 1063 1064 1065 1066 1067 1068 1070 1071 1073 1074 1076 1077 1078 1079 1080 1082 1083 1084 1085 1086 1087 1091 1092 1093 1094 1101 1112 1121 1122 1123 1124 1125 1126 1127 1128 1129 1130 1131 1132 1143 1145 1146 1148 1149 1151 1152 1248 1249 1250 1251 1252 1253 1254 1255 1256 1259 1261 1262 1264 1266 1267 1268 1269",
     "2 1011 1012 1013 1014 1017 1019 1021 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1052 1053 1054 1055 1057 1058 1059 1060 1061 1062 1063 1064 1065 1066 1067 1068 1070 1071 1073 1074 1076 1077 1078 1079 1080 1082 1083 1084 1085 1086 1087 1091 1092 1093 1094 1101 1112 1121 1122 1123 1124 1125 1126 1127 1128 1129 1130 1131 1132 1143 1145 1146 1148 1149 1151 1152 1248 1249 1250 1251 1252 1253 1254 1255 1256 1259 1261 1262 1264 1266 1267 1268 1269"},
    {"TP2.0", 1010,
     R"(title CAN TP2.0 -- Device( 0 ) Connected
box 总线
radio 1101 双线CAN =1 [off]
radio 1096 单线CAN (SWC) =0 [off]
check 1010 EN=1 =1 [off]
check 1051 NSTB=1 =1 [off]
box CCTRL0
radio 1087 正常<000> =1 [off]
radio 1088 环回<010> =0 [off]
radio 1089 仅监听<011> =0 [off]
box 位时间
text ~ 波特率:
choice 1030 1 of 1000 KBPS|500  KBPS|250  KBPS|200  KBPS|125  KBPS|100  KBPS|83.3 KBPS|50   KBPS|40   KBPS|33.3 KBPS|20   KBPS|User-defined [off]
text ~ BRP:
edit 1056 "1" [off]
text ~ SJW:
choice 1031 3 of 1TQ|2TQ|3TQ|4TQ [off]
text ~ SEG2PH:
choice 1032 5 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ SEG1PH:
choice 1033 7 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ PRSEG:
choice 1034 4 of 1TQ|2TQ|3TQ|4TQ|5TQ|6TQ|7TQ|8TQ [off]
text ~ SAM=1
text ~ SEG2PHTS=1
box CPROCON
check 1011 使能协议 =1
check 1012 OP0E Enable =0
check 1013 OP1E Enable =0
text ~ PTYPE:
choice 1035 3 of 000 ISO15765 STD ADDR|001 ISO15765 EXT ADDR|010 J1939|011 TP2.0 [off]
box 验收滤波器与屏蔽器
text ~ SID-11bit
text ~ EXIDE
text ~ MSKSEL
text ~ FxBP
check 1052 F0 =1
edit 1099 "300"
choice 1152 0 of 0|1
choice 1037 0 of 0|1|2|None
choice 1038 8 of 0|1|2|3|4|5|6|7|FIFO
check 1054 F1 =1
edit 1100 "21F"
choice 1039 0 of 0|1
choice 1040 0 of 0|1|2|None
choice 1041 8 of 0|1|2|3|4|5|6|7|FIFO
check 1067 F2 =0
edit 1106 "000"
choice 1042 0 of 0|1
choice 1043 3 of 0|1|2|None
choice 1044 8 of 0|1|2|3|4|5|6|7|FIFO
check 1070 F3 =0
edit 1107 "000"
choice 1045 0 of 0|1
choice 1046 3 of 0|1|2|None
choice 1047 8 of 0|1|2|3|4|5|6|7|FIFO
check 1073 F4 =0
edit 1108 "000"
choice 1048 0 of 0|1
choice 1049 3 of 0|1|2|None
choice 1050 8 of 0|1|2|3|4|5|6|7|FIFO
check 1078 F5 =0
edit 1109 "000"
choice 1076 0 of 0|1
choice 1077 3 of 0|1|2|None
choice 1079 8 of 0|1|2|3|4|5|6|7|FIFO
check 1084 F6 =0
edit 1110 "000"
choice 1082 0 of 0|1
choice 1083 3 of 0|1|2|None
choice 1085 8 of 0|1|2|3|4|5|6|7|FIFO
check 1093 F7 =0
edit 1111 "000"
choice 1091 0 of 0|1
choice 1092 3 of 0|1|2|None
choice 1094 8 of 0|1|2|3|4|5|6|7|FIFO
text ~ SID-11bit
text ~ MIDE
text ~ MASK0
edit 1113 "7FF"
choice 1145 1 of 0|1
text ~ MASK1
edit 1114 "7FF"
choice 1148 1 of 0|1
text ~ MASK2
edit 1115 "7FF"
choice 1151 1 of 0|1
text ~ 注:本实例只使用16个过滤器中的8个，其他的用法相同
box TP2.0-单桢数据发送(CTXB0)
text ~ 桢类型:
choice 1104 0 of 标准桢|扩展帧 [off]
text ~ 桢格式:
choice 1105 0 of 数据桢|远程帧 [off]
text ~ ID
text ~ DLC
text ~ DATA
edit 1055 "32E"
edit 1059 "5" [ro]
edit 1060 "10 00 02 1A 9B "
button 1015 发送 [off]
box TP2.0
text ~ ID
text ~ DLC
text ~ DATA
text ~ Channel Setup:TXB5
edit 1233 "200"
edit 1234 "7" [ro]
edit 1235 "1F C0 00 10 00 03 01 "
text ~ Connection Setup:TXB6
edit 1236 "32E"
edit 1237 "6" [ro]
edit 1238 "A0 0F 8A FF 32 FF "
text ~ ACK:TXB7
edit 1102 "32E"
edit 1117 "1" [ro]
edit 1121 "B0 "
button 1223 开始建立通讯 [off]
box CTP20CTRL
text ~ CHSFLTN:
choice 1227 1 of 0|1|2|3|4|5|6|7
text ~ CTSFLTN:
choice 1228 0 of 0|1|2|3|4|5|6|7
text ~ BSIZ:
edit 1229 "15"
text ~ Time_T1:
edit 1230 "20"
text ~ x5ms
text ~ Time_T3:
edit 1231 "50"
text ~ x100us
text ~ Timer_T_E:
edit 1232 "20"
text ~ x5ms
check 1240 ACK=1 =0
check 1224 IDM=1 =0
check 1225 BSM=1 =0
check 1226 STM=1 =0
text ~ MNT = 2
text ~ MNTC = 10
box First Frame (CTXB4)
text ~ ID
text ~ DLC
text ~ DATA
edit 1118 "32E"
edit 1119 "8" [ro]
edit 1120 "21 00 EF 01 02 03 04 05 "
text ~ 长度(CCF_DL):
edit 1171 "234"
text ~ Buffer Length:
edit 1172 "256" [ro]
edit 1112 "06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F 40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F 60 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 75 76 77 78 79 7A 7B 7C 7D 7E 7F 80 81 82 83 84 85 86 87 88 89 8A 8B 8C 8D 8E 8F 90 91 92 93 94 95 96 97 98 99 9A 9B 9C 9D 9E 9F A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0 B1 B2 B3 B4 B5 B6 B7 B8 B9 BA BB BC BD BE BF C0 C1 C2 C3 C4 C5 C6 C7 C8 C9 CA CB CC CD CE CF D0 D1 D2 D3 D4 D5 D6 D7 D8 D9 DA DB DC DD DE DF E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF 00 01 02 03 04 05 "
button 1016 启动多桢发送 [off]
box 链路保持（应用程序发送）
check 1020 使能 =1
text ~ 保持时间:
edit 1167 "800"
text ~ ms
text ~ 数据桢： ID+0xA3  (DLC=1)
edit 1241 "32E  A3 " [ro]
button 1242 设置为诊断
button 1243 设置为ECU(0x1F)
button 1014 确定设置并启动
button 1003 停止 [off]
button 2 退出
)",
     "2 1011 1012 1013 1014 1020 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1052 1054 1055 1059 1060 1067 1070 1073 1076 1077 1078 1079 1082 1083 1084 1085 1091 1092 1093 1094 1099 1100 1102 1106 1107 1108 1109 1110 1111 1112 1113 1114 1115 1117 1118 1119 1120 1121 1145 1148 1151 1152 1167 1171 1172 1224 1225 1226 1227 1228 1229 1230 1231 1232 1233 1234 1235 1236 1237 1238 1240 1241 1242 1243",
     "2 1003 1011 1012 1013 1015 1016 1020 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1052 1054 1055 1059 1060 1067 1070 1073 1076 1077 1078 1079 1082 1083 1084 1085 1091 1092 1093 1094 1099 1100 1102 1106 1107 1108 1109 1110 1111 1112 1113 1114 1115 1117 1118 1119 1120 1121 1145 1148 1151 1152 1167 1171 1172 1223 1224 1225 1226 1227 1228 1229 1230 1231 1232 1233 1234 1235 1236 1237 1238 1240 1241 1242 1243",
     "2 1011 1012 1013 1014 1020 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1048 1049 1050 1052 1054 1055 1059 1060 1067 1070 1073 1076 1077 1078 1079 1082 1083 1084 1085 1091 1092 1093 1094 1099 1100 1102 1106 1107 1108 1109 1110 1111 1112 1113 1114 1115 1117 1118 1119 1120 1121 1145 1148 1151 1152 1167 1171 1172 1224 1225 1226 1227 1228 1229 1230 1231 1232 1233 1234 1235 1236 1237 1238 1240 1241 1242 1243"},
    {"J1850 VPW", 1007,
     R"(title J1850 VPW 10.4KPBS -- Device( 0 ) Connected
box 数据发送
box Header Format   JCON0<bit0>
radio 1009 Consolidated Header(混合) =1
radio 1008 1 BYTE（单字节） =0
text ~ ID
text ~ Target
text ~ Source
text ~ DLC
edit 1055 "68"
edit 1056 "6A"
edit 1058 "F1"
edit 1059 "6" [ro]
text ~ 数据
edit 1060 "01 00 "
button 1015 发送数据 [off]
box 链路自动保持(应用程序发送):
text ~ ID+数据:
edit 1011 "68 6A  F1 01 00"
text ~ 间隔时间:
edit 1012 "1000"
text ~ ms
button 1271 启动链路保持 [off]
button 1014 确定设置并启动
button 1003 停止 [off]
button 2 退出
box 过滤器--HDFILTER
radio 1065 Physcal =1
radio 1067 Function =0
radio 1068 Head ID =0
edit 1019 ""
button 1020 添加
button 1021 移除
listbox 1016 rows 256 first 0x00
listbox 1017 rows 256 first 0x00
listbox 1018 rows 256 first 0x00
box 1 byte or Single header IDIFRCON 控制
text ~ ID
text ~ IFRT
text ~ IDSEL
text ~ IFR3SEL
text ~ NB
edit 1023 ""
choice 1026 -1 of 0|1|2|3
choice 1049 -1 of 0|1|2|3|4|5|6|7
choice 1050 -1 of 0|1
choice 1028 -1 of 0|1
button 1024 添加/修改
button 1025 移除
listbox 1022 rows 0
box IFR YZZCON控制设定
text ~ YZZ
text ~ IFRT
text ~ NB
text ~ IDSEL
text ~ IFR3SEL
text ~ 000
choice 1029 0 of 0|1|2|3
choice 1030 0 of 0|1
choice 1063 0 of 0|1|2|3|4|5|6|7
choice 1074 0 of 0|1
text ~ 001
choice 1031 0 of 0|1|2|3
choice 1032 0 of 0|1
choice 1064 0 of 0|1|2|3|4|5|6|7
choice 1075 0 of 0|1
text ~ 010
choice 1033 0 of 0|1|2|3
choice 1034 0 of 0|1
choice 1066 0 of 0|1|2|3|4|5|6|7
choice 1076 0 of 0|1
text ~ 011
choice 1035 0 of 0|1|2|3
choice 1036 0 of 0|1
choice 1069 0 of 0|1|2|3|4|5|6|7
choice 1077 0 of 0|1
text ~ 100
choice 1037 0 of 0|1|2|3
choice 1038 0 of 0|1
choice 1070 0 of 0|1|2|3|4|5|6|7
choice 1078 0 of 0|1
text ~ 101
choice 1039 0 of 0|1|2|3
choice 1040 0 of 0|1
choice 1071 0 of 0|1|2|3|4|5|6|7
choice 1079 0 of 0|1
text ~ 110
choice 1041 0 of 0|1|2|3
choice 1042 0 of 0|1
choice 1072 0 of 0|1|2|3|4|5|6|7
choice 1080 0 of 0|1
text ~ 111
choice 1043 0 of 0|1|2|3
choice 1044 0 of 0|1
choice 1073 0 of 0|1|2|3|4|5|6|7
choice 1081 0 of 0|1
box IFR 数据设定
text ~ IDBUFF:
edit 1045 "F1 00 00 00 00 00 00 00 "
text ~ IFR3_B0:
edit 1046 ""
edit 1082 "0" [ro]
text ~ IFR3_B1:
edit 1047 ""
edit 1083 "0" [ro]
check 1051 IFR3 Include CRC =1
button 1027 设置为接收所有(No IFR)
button 1013 SAE OBD2 默认
)",
     "2 1008 1009 1011 1012 1013 1014 1016 1017 1018 1019 1020 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1049 1050 1051 1054 1055 1056 1058 1059 1060 1063 1064 1065 1066 1067 1068 1069 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083",
     "2 1003 1008 1009 1011 1012 1013 1015 1016 1017 1018 1019 1020 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1049 1050 1051 1054 1055 1056 1058 1059 1060 1063 1064 1065 1066 1067 1068 1069 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083 1271",
     "2 1008 1009 1011 1012 1013 1014 1016 1017 1018 1019 1020 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1049 1050 1051 1054 1055 1056 1058 1059 1060 1063 1064 1065 1066 1067 1068 1069 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083"},
    {"J1850 PWM", 1008,
     R"(title J1850 PWM 41.6KPBS -- Device( 0 ) Connected
box 数据发送
box Header Format   JCON0<bit0>
radio 1009 Consolidated Header(混合) =1
radio 1008 1 BYTE（单字节） =0
text ~ ID
text ~ Target
text ~ Source
text ~ DLC
edit 1055 "61"
edit 1056 "6A"
edit 1058 "F1"
edit 1059 "6" [ro]
text ~ 数据
edit 1060 "01 00 "
button 1015 发送数据 [off]
box 链路自动保持(应用程序发送):
text ~ ID+数据:
edit 1011 "61 6A  F1 01 00"
text ~ 间隔时间:
edit 1012 "1000"
text ~ ms
button 1271 启动链路保持 [off]
button 1014 确定设置并启动
button 1003 停止 [off]
button 2 退出
box 过滤器--HDFILTER
radio 1065 Physcal =1
radio 1067 Function =0
radio 1068 Head ID =0
edit 1019 ""
button 1020 添加
button 1021 移除
listbox 1016 rows 256 first 0x00
listbox 1017 rows 256 first 0x00
listbox 1018 rows 256 first 0x00
box 1 byte or Single header IDIFRCON 控制
text ~ ID
text ~ IFRT
text ~ IDSEL
text ~ IFR3SEL
text ~ NB
edit 1023 ""
choice 1026 -1 of 0|1|2|3
choice 1049 -1 of 0|1|2|3|4|5|6|7
choice 1050 -1 of 0|1
choice 1028 -1 of 0|1
button 1024 添加/修改
button 1025 移除
listbox 1022 rows 0
box IFR YZZCON控制设定
text ~ YZZ
text ~ IFRT
text ~ NB
text ~ IDSEL
text ~ IFR3SEL
text ~ 000
choice 1029 0 of 0|1|2|3
choice 1030 0 of 0|1
choice 1063 0 of 0|1|2|3|4|5|6|7
choice 1074 0 of 0|1
text ~ 001
choice 1031 0 of 0|1|2|3
choice 1032 0 of 0|1
choice 1064 0 of 0|1|2|3|4|5|6|7
choice 1075 0 of 0|1
text ~ 010
choice 1033 0 of 0|1|2|3
choice 1034 0 of 0|1
choice 1066 0 of 0|1|2|3|4|5|6|7
choice 1076 0 of 0|1
text ~ 011
choice 1035 0 of 0|1|2|3
choice 1036 0 of 0|1
choice 1069 0 of 0|1|2|3|4|5|6|7
choice 1077 0 of 0|1
text ~ 100
choice 1037 0 of 0|1|2|3
choice 1038 0 of 0|1
choice 1070 0 of 0|1|2|3|4|5|6|7
choice 1078 0 of 0|1
text ~ 101
choice 1039 0 of 0|1|2|3
choice 1040 0 of 0|1
choice 1071 0 of 0|1|2|3|4|5|6|7
choice 1079 0 of 0|1
text ~ 110
choice 1041 0 of 0|1|2|3
choice 1042 0 of 0|1
choice 1072 0 of 0|1|2|3|4|5|6|7
choice 1080 0 of 0|1
text ~ 111
choice 1043 0 of 0|1|2|3
choice 1044 0 of 0|1
choice 1073 0 of 0|1|2|3|4|5|6|7
choice 1081 0 of 0|1
box IFR 数据设定
text ~ IDBUFF:
edit 1045 "F1 00 00 00 00 00 00 00 "
text ~ IFR3_B0:
edit 1046 ""
edit 1082 "0" [ro]
text ~ IFR3_B1:
edit 1047 ""
edit 1083 "0" [ro]
check 1051 IFR3 Include CRC =1
button 1027 设置为接收所有(No IFR)
button 1013 SAE OBD2 默认
)",
     "2 1008 1009 1011 1012 1013 1014 1016 1017 1018 1019 1020 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1049 1050 1051 1054 1055 1056 1058 1059 1060 1063 1064 1065 1066 1067 1068 1069 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083",
     "2 1003 1008 1009 1011 1012 1013 1015 1016 1017 1018 1019 1020 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1049 1050 1051 1054 1055 1056 1058 1059 1060 1063 1064 1065 1066 1067 1068 1069 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083 1271",
     "2 1008 1009 1011 1012 1013 1014 1016 1017 1018 1019 1020 1021 1022 1023 1024 1025 1026 1027 1028 1029 1030 1031 1032 1033 1034 1035 1036 1037 1038 1039 1040 1041 1042 1043 1044 1045 1046 1047 1049 1050 1051 1054 1055 1056 1058 1059 1060 1063 1064 1065 1066 1067 1068 1069 1070 1071 1072 1073 1074 1075 1076 1077 1078 1079 1080 1081 1082 1083"},
    {"ECU simulator", 1015,
     R"(title ECU Simulator -- Device( 0 ) Connected
text ~ 模拟ECU物理总线类型:
choice 1201 0 of ISO9141-2|ISO14230 - 5Baud (KWP2000)|ISO14230 - Fast Init (KWP2000)|J1850VPW - 10.4kbps|J1850PWM - 41.6kbps|ISO15765 -11bit (250/500KBPS)|ISO15765 -29bit (250/500KBPS)
text 1276 ECU as ISO9141-2   Baudrate: 10400   5Baudrate InitAddress: 0x33
Req.Header: 68 6A F1    Ack.Header: 48 6B 10
box MOD:PID 应答数据定义（双击可修改）
list 1016 En:30|SID:50|PID:50|OPTDATA:90|Protocol.S:80|A.SID/PID/DATA:140|M.CNT:53|M1Len:53|Message 1 Data:140|M2Len:53|Message 2 Data:115|Message Note:440 rows 0
button 1013 增加应答数据
button 1014 删除选择的数据
button 1275 配置ECU参数
button 5 保存到文件
button 6 从文件调入数据
box Negative Respond (隐性应答)
check 1274 Enable Negative Respond =1
text ~ ECU Respond:  Header +0x7F  SID  0x11  (Sevice not Supported)
text ~ 状态:
text 1203 未启动
button 1200 启动模拟
button 2 退出
)",
     "2 5 6 1013 1014 1016 1200 1201 1274 1275",
     "2 1016 1200 1274",
     "2 5 6 1013 1014 1016 1200 1201 1274 1275"},
};

class WindowWalk : public ProgramTest {
protected:
    void SetUp() override { StartProgram(); }
};

TEST_F(WindowWalk, EachPageOpensAsTheUserSeesItAndEnablesItsControlsByState) {
    for (const PageView& p : kPages) {
        SCOPED_TRACE(p.name);
        wxWindow* page = Open(p.hubButton);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Snapshot(page), p.opening);
        EXPECT_EQ(EnabledIds(page), p.idle);
        const int start = p.hubButton == 1015 ? 1200 : 1014, stop = p.hubButton == 1015 ? 1200 : 1003;
        Press(dynamic_cast<wxButton*>(page->FindWindow(start)));
        EXPECT_EQ(g_WorkerRunning.load(), 1u);
        EXPECT_EQ(EnabledIds(page), p.running);
        Press(dynamic_cast<wxButton*>(page->FindWindow(stop)));
        EXPECT_EQ(g_WorkerRunning.load(), 0u);
        EXPECT_EQ(EnabledIds(page), p.stopped);
        page->Hide();
    }
}

struct PageWalk {
    const char* name;
    int hubButton;
    const char* effects;  // WalkControls
};

// Each control changed in id order, after the ones before it (an edit takes "0", then "300"):
// "<control> <what was done>: <bytes of the download or the sent frame that changed,
// @offset:old>new> | <message text [caption] icon>". Icons: 1 exclamation.
const PageWalk kWalks[] = {
    {"ISO 14230", 1003, R"(check 1010 off:
edit 1011 0 -> "00 ":
edit 1011 300 -> "30 00 ":
edit 1012 0 -> "200": | 最小值为200ms [VR3526 Developer Kits V1.00] 1
edit 1012 300 -> "300":
edit 1016 0 -> "0": 52 42 @2:05>00;
edit 1016 300 -> "255": 52 42 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1017 0 -> "0": 52 44 @2:37>00;
edit 1017 300 -> "255": 52 44 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1018 0 -> "1": 52 45 @2:0A>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1018 300 -> "255": 52 45 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1019 0 -> "1": 52 32 @2:19>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1019 300 -> "255": 52 32 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1020 0 -> "1": 52 33 @2:19>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1020 300 -> "255": 52 33 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
check 1021 on:
check 1023 on: [57 3F 07 00 05 00 C1 33 F1 81 66 -> 57 3F 08 00 06 00 C0 33 F1 01 81 66 ]
edit 1025 0 -> "0": | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1025 300 -> "300":
choice 1030 7: 54 2A @4:EF>03 @5:00>01;
choice 1031 2:
choice 1032 0: [57 3F 08 00 06 00 C0 33 F1 01 81 66 -> 57 3F 06 00 04 00 00 01 81 82 ]
choice 1033 1: 52 35 @2:00>02;
choice 1034 1: 52 35 @2:02>03;
edit 1057 0 -> "0":
edit 1057 300 -> "30": 52 39 @2:00>30;
edit 1060 0 -> "00 ": 57 3F @8:81>00 @9:82>01;
edit 1060 300 -> "30 00 ": [57 3F 06 00 04 00 00 01 00 01 -> 57 3F 07 00 05 00 00 02 30 00 32 ]
radio 1107: 52 2D @2:00>05;
edit 1161 0 -> "1": 54 2B @12:1E>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1161 300 -> "255": 54 2B @12:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1162 0 -> "0": 52 34 @2:33>00;
edit 1162 300 -> "30": 52 34 @2:00>30;
edit 1163 0 -> "1": 54 2B @5:32>01; | 最小1x20ms! [VR3526 Developer Kits V1.00] 1
edit 1163 300 -> "255": 54 2B @5:01>FF; | 最大255x20ms! [VR3526 Developer Kits V1.00] 1
edit 1164 0 -> "1": 54 2B @7:64>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1164 300 -> "255": 54 2B @7:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1165 0 -> "1": 54 2B @11:32>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1165 300 -> "255": 54 2B @11:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
check 1700 off: 54 2B @4:FB>7B;
)"},
    {"KW1281", 1005, R"(check 1010 off:
edit 1011 0 -> "00 ":
edit 1011 300 -> "30 00 ":
edit 1012 0 -> "200": | 最小值为200ms [VR3526 Developer Kits V1.00] 1
edit 1012 300 -> "300":
edit 1016 0 -> "0": 52 42 @2:05>00;
edit 1016 300 -> "255": 52 42 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1017 0 -> "0": 52 44 @2:37>00;
edit 1017 300 -> "255": 52 44 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1018 0 -> "1": 52 45 @2:14>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1018 300 -> "255": 52 45 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1020 0 -> "1": 52 46 @2:14>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1020 300 -> "255": 52 46 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
check 1021 on:
edit 1023 0 -> "0": 52 48 @2:02>00;
edit 1023 300 -> "255": 52 48 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1025 0 -> "0": | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1025 300 -> "300":
choice 1030 7: 54 2A @4:EF>03 @5:00>01;
choice 1031 3:
choice 1033 1: 52 35 @2:00>02;
choice 1034 1: 52 35 @2:02>03;
edit 1057 0 -> "0":
edit 1057 300 -> "300":
edit 1060 0 -> "00 ": 57 3F @8:09>00;
edit 1060 300 -> "30 00 ": [57 3F 06 00 04 00 03 00 00 03 -> 57 3F 07 00 05 00 04 00 30 00 03 ]
radio 1097: 54 2B @4:B3>BB;
radio 1106: 54 2B @4:BB>B3;
radio 1107: 52 2D @2:00>05;
edit 1161 0 -> "1": 54 2B @12:1E>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1161 300 -> "255": 54 2B @12:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1162 0 -> "0": 52 34 @2:15>00;
edit 1162 300 -> "300":
edit 1163 0 -> "1": 54 2B @5:32>01; | 最小1x20ms! [VR3526 Developer Kits V1.00] 1
edit 1163 300 -> "255": 54 2B @5:01>FF; | 最大255x20ms! [VR3526 Developer Kits V1.00] 1
edit 1164 0 -> "1": 54 2B @7:64>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1164 300 -> "255": 54 2B @7:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1165 0 -> "1": 54 2B @11:32>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1165 300 -> "255": 54 2B @11:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
check 1700 off: 54 2B @4:B3>33;
)"},
    {"SCI", 1013, R"(check 1010 on: 52 2E @2:00>40;
edit 1016 0 -> "0":
edit 1016 300 -> "255": 52 42 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1017 0 -> "0": 52 44 @2:37>00;
edit 1017 300 -> "255": 52 44 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1018 0 -> "1": 52 45 @2:0A>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1018 300 -> "255": 52 45 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
check 1019 on: 52 2E @2:40>C0;
edit 1020 0 -> "1": 52 46 @2:14>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1020 300 -> "255": 52 46 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
check 1022 on: 52 2F @2:00>80;
edit 1023 0 -> "0": 52 48 @2:02>00;
edit 1023 300 -> "255": 52 48 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1027 0 -> "0": 52 30 @2:FF>00;
edit 1027 300 -> "300":
check 1028 on: 52 2E @2:C0>E0;
check 1029 on: 52 2E @2:E0>F0;
choice 1030 7: 54 2A @4:EF>03 @5:00>01;
choice 1031 1: 52 2F @2:80>81;
choice 1032 1: 52 2F @2:81>91;
choice 1033 1: 52 35 @2:00>02;
choice 1034 1: 52 35 @2:02>03;
choice 1035 1: 52 2E @2:F0>F1;
check 1036 on:
choice 1037 1:
edit 1060 0 -> "00 ": [57 3F 07 00 05 00 11 22 33 44 55 -> 57 3F 03 00 01 00 00 ]
edit 1060 300 -> "30 00 ": [57 3F 03 00 01 00 00 -> 57 3F 04 00 02 00 30 00 ]
radio 1100: 52 2D @2:04>01;
radio 1205: [B1 84 02 00 -> B1 85 02 00 ]
)"},
    {"user mode (ISO 9141-2)", 1004, R"(check 1010 off:
edit 1011 0 -> "00 ":
edit 1011 300 -> "30 00 ":
edit 1012 0 -> "0":
edit 1012 300 -> "300":
check 1013 on: 52 2E @2:08>48;
edit 1016 0 -> "0": 52 42 @2:05>00;
edit 1016 300 -> "255": 52 42 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1017 0 -> "0": 52 44 @2:37>00;
edit 1017 300 -> "255": 52 44 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1018 0 -> "1": 52 45 @2:0A>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1018 300 -> "255": 52 45 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1019 0 -> "1": 52 32 @2:19>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1019 300 -> "255": 52 32 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1020 0 -> "1": 52 33 @2:19>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1020 300 -> "255": 52 33 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
check 1021 on:
check 1023 off: 54 2B @4:FB>F3;
edit 1025 0 -> "0": | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1025 300 -> "300":
check 1026 on: 52 2F @2:00>80;
edit 1027 0 -> "0": 52 30 @2:FF>00;
edit 1027 300 -> "300":
edit 1028 0 -> "1": 52 46 @2:14>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1028 300 -> "255": 52 46 @2:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1029 0 -> "0": 52 48 @2:02>00;
edit 1029 300 -> "255": 52 48 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
choice 1030 7: 54 2A @4:EF>03 @5:00>01;
choice 1031 3:
choice 1033 1: 52 35 @2:00>02;
choice 1034 1: 52 35 @2:02>03;
choice 1035 1: 52 2F @2:80>81;
choice 1036 1: 52 2F @2:81>91;
choice 1037 1: 52 2E @2:48>49;
check 1038 on: 52 2E @2:49>C9;
check 1039 on: 52 2E @2:C9>E9;
check 1040 on: 52 2E @2:E9>F9;
check 1041 off: 52 2E @2:F9>F1; [57 3F 08 00 06 00 68 6A F1 01 00 C4 -> 57 3F 07 00 05 00 68 6A F1 01 00 ]
choice 1042 1: 52 2F @2:91>99;
choice 1044 4: 54 2B @4:F3>F4;
choice 1045 0: 54 2B @4:F4>E4;
choice 1046 0: 54 2B @4:E4>C4;
edit 1047 0 -> "0":
edit 1047 300 -> "300":
edit 1057 0 -> "0":
edit 1057 300 -> "30": 52 39 @2:00>30;
edit 1060 0 -> "00 ": [57 3F 07 00 05 00 68 6A F1 01 00 -> 57 3F 03 00 01 00 00 ]
edit 1060 300 -> "30 00 ": [57 3F 03 00 01 00 00 -> 57 3F 04 00 02 00 30 00 ]
radio 1097: 54 2B @4:C4>CC;
radio 1106: 54 2B @4:CC>C4;
radio 1107: 52 2D @2:00>05;
edit 1161 0 -> "1": 54 2B @12:1E>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1161 300 -> "255": 54 2B @12:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1162 0 -> "0": 52 34 @2:33>00;
edit 1162 300 -> "30": 52 34 @2:00>30;
edit 1163 0 -> "1": 54 2B @5:32>01; | 最小1x20ms! [VR3526 Developer Kits V1.00] 1
edit 1163 300 -> "255": 54 2B @5:01>FF; | 最大255x20ms! [VR3526 Developer Kits V1.00] 1
edit 1164 0 -> "1": 54 2B @7:64>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1164 300 -> "255": 54 2B @7:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1165 0 -> "1": 54 2B @11:32>01; | 最小1ms! [VR3526 Developer Kits V1.00] 1
edit 1165 300 -> "255": 54 2B @11:01>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
check 1700 off: 54 2B @4:C4>44;
)"},
    {"J1708", 1011, R"(edit 1016 0 -> "0":
edit 1016 300 -> "255": 52 42 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1017 0 -> "0":
edit 1017 300 -> "255": 52 44 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
edit 1018 0 -> "0":
edit 1018 300 -> "255": 52 45 @2:00>FF; | 最大255ms! [VR3526 Developer Kits V1.00] 1
choice 1030 8: 54 2A @4:03>08 @5:01>02;
choice 1033 1: 52 35 @2:00>02;
choice 1034 1: 52 35 @2:02>03;
choice 1035 1: 52 3C @2:80>81;
check 1036 off: 52 2E @2:08>00; [57 3F 0C 00 0A 00 10 0A 0B 0C 0D 0E 0F 10 11 84 -> 57 3F 0B 00 09 00 10 0A 0B 0C 0D 0E 0F 10 11 ]
choice 1037 0: 52 2F @2:08>00;
edit 1060 0 -> "00 ": [57 3F 0B 00 09 00 10 0A 0B 0C 0D 0E 0F 10 11 -> 57 3F 04 00 02 00 10 00 ]
edit 1060 300 -> "30 00 ": [57 3F 04 00 02 00 10 00 -> 57 3F 05 00 03 00 10 30 00 ]
radio 1098: 52 2D @2:00>0A; 52 37 @2:00>40;
radio 1106: 52 2D @2:0A>00; 52 37 @2:40>00;
radio 1107: 52 2D @2:00>05;
edit 1218 0 -> "0": 57 3F @6:10>00;
edit 1218 300 -> "30": 57 3F @6:00>30;
)"},
    {"LIN", 1160, R"(edit 1011 0 -> "00 00 00 00 00 00 00 00 ": 54 30 @4:10>00 @5:11>00 @6:12>00 @7:13>00 @8:14>00 @9:15>00 @10:16>00 @11:17>00;
edit 1011 300 -> "30 00 00 00 00 00 00 00 ": 54 30 @4:00>30;
edit 1012 0 -> "00 00 00 00 00 00 00 00 ": 54 31 @4:20>00 @5:21>00 @6:22>00 @7:23>00 @8:24>00 @9:25>00 @10:26>00 @11:27>00;
edit 1012 300 -> "30 00 00 00 00 00 00 00 ": 54 31 @4:00>30;
edit 1013 0 -> "00 00 00 00 00 00 00 00 ": 54 32 @4:A0>00 @5:A1>00 @6:A2>00 @7:A3>00 @8:A4>00 @9:A5>00 @10:A6>00 @11:A7>00;
edit 1013 300 -> "30 00 00 00 00 00 00 00 ": 54 32 @4:00>30;
edit 1016 0 -> "0": 52 42 @2:08>00;
edit 1016 300 -> "255": 52 42 @2:00>FF; | 最大255ms! [] 1
edit 1017 0 -> "0":
edit 1017 300 -> "255": 52 44 @2:00>FF; | 最大255ms! [] 1
edit 1018 0 -> "1": 52 45 @2:0A>01; | 最小1ms! [] 1
edit 1018 300 -> "255": 52 45 @2:01>FF; | 最大255ms! [] 1
edit 1019 0 -> "00 00 00 00 00 00 00 00 ": 54 33 @4:B0>00 @5:B1>00 @6:B2>00 @7:B3>00 @8:B4>00 @9:B5>00 @10:B6>00 @11:B7>00;
edit 1019 300 -> "30 00 00 00 00 00 00 00 ": 54 33 @4:00>30;
edit 1021 0 -> "00 00 00 00 00 00 00 00 ":
edit 1021 300 -> "30 00 00 00 00 00 00 00 ":
edit 1022 0 -> "00 00 00 00 00 00 00 00 ":
edit 1022 300 -> "30 00 00 00 00 00 00 00 ":
edit 1023 0 -> "0":
edit 1023 300 -> "30":
edit 1025 0 -> "0":
edit 1025 300 -> "30":
edit 1026 0 -> "00 00 00 00 00 00 00 00 ":
edit 1026 300 -> "30 00 00 00 00 00 00 00 ":
edit 1027 0 -> "0":
edit 1027 300 -> "30":
edit 1028 0 -> "00 00 00 00 00 00 00 00 ":
edit 1028 300 -> "30 00 00 00 00 00 00 00 ":
edit 1029 0 -> "0":
edit 1029 300 -> "30":
choice 1030 8: 54 2A @4:03>08 @5:01>02;
edit 1031 0 -> "00 00 00 00 00 00 00 00 ":
edit 1031 300 -> "30 00 00 00 00 00 00 00 ":
edit 1032 0 -> "0":
edit 1032 300 -> "30":
choice 1033 1: 52 35 @2:00>02;
choice 1034 1: 52 35 @2:02>03;
edit 1035 0 -> "00 00 00 00 00 00 00 00 ":
edit 1035 300 -> "30 00 00 00 00 00 00 00 ":
edit 1036 0 -> "0":
edit 1036 300 -> "30":
edit 1037 0 -> "00 00 00 00 00 00 00 00 ":
edit 1037 300 -> "30 00 00 00 00 00 00 00 ":
edit 1038 0 -> "0":
edit 1038 300 -> "30":
edit 1039 0 -> "00 00 00 00 00 00 00 00 ":
edit 1039 300 -> "30 00 00 00 00 00 00 00 ":
edit 1040 0 -> "0":
edit 1040 300 -> "30":
edit 1060 0 -> "00 00 00 00 00 00 00 00 ": 57 3F @8:01>00 @9:02>00 @10:03>00 @11:04>00 @12:05>00 @13:06>00 @14:07>00;
edit 1060 300 -> "30 00 00 00 00 00 00 00 ": 57 3F @7:00>30;
edit 1061 0 -> "0": [57 3F 0B 00 09 00 30 30 00 00 00 00 00 00 00 -> 57 3F 05 00 03 00 00 30 00 ]
edit 1061 300 -> "30": 57 3F @6:00>1E;
radio 1107: 52 2D @2:00>05;
check 1112 on: [B1 82 02 00 -> B1 A2 02 00 ] | 使用自动波特率，必须首先设定大约的BRG值!
否则LIN可能无法正常工作。
LIN定义的该功能是当使用内部RC振荡器时进行时钟修正。 [] 1
)"},
    {"UART test", 1014, R"(choice 1030 8: 54 2A @4:03>08 @5:01>02;
choice 1033 1: 52 35 @2:00>02;
choice 1034 1: 52 35 @2:02>03;
edit 1060 0 -> "00 ": [60 00 08 00 00 01 02 03 04 05 06 07 -> 60 00 01 00 00 ]
edit 1060 300 -> "30 00 ": [60 00 01 00 00 -> 60 00 02 00 30 00 ]
radio 1107: 52 2D @2:00>05;
radio 1108: 52 2D @2:05>04;
radio 1109: 52 2D @2:04>01;
check 1120 off:
check 1121 off:
check 1122 off:
)"},
    {"ISO 15765", 1006, R"(check 1010 off: 52 12 @2:03>02;
check 1011 off: 52 29 @2:E0>60;
check 1012 off: 52 29 @2:60>40;
check 1013 off: 52 29 @2:40>00;
check 1017 off: 54 26 @4:D0>50;
check 1018 on: 54 26 @5:10>50;
check 1019 on: 54 26 @5:50>D0;
choice 1030 2: 52 1A @2:C1>C3;
choice 1035 1: 52 29 @2:00>01; 54 24 @10:30>61 @11:00>30; 54 25 @10:30>61 @11:00>30;
choice 1036 1: 54 26 @4:50>51;
choice 1037 1: 52 1F @2:D0>D1;
choice 1038 0: 54 1C @4:FF>F0;
choice 1039 1: 54 0D @4:20>28;
choice 1040 1: 52 1F @2:D1>D5;
choice 1041 0: 54 1C @4:F0>00;
choice 1042 1: 54 0E @4:00>08;
choice 1043 2: 52 1F @2:D5>E5;
choice 1044 0: 54 1C @5:FF>F0;
choice 1045 1: 54 0F @4:00>08;
choice 1046 0: 52 1F @2:E5>25;
choice 1047 0: 54 1C @5:F0>00;
choice 1048 1: 54 10 @4:00>08;
choice 1049 0: 52 20 @2:FF>FC;
choice 1050 0: 54 1C @6:FF>F0;
check 1051 off: 52 12 @2:02>00;
check 1052 off: 52 1D @2:07>06;
check 1054 off: 52 1D @2:06>04;
edit 1055 0 -> "0": A0 80 @4:7C>00 @5:1F>00;
edit 1055 300 -> "300": A0 80 @5:00>0C;
edit 1057 0 -> "0":
edit 1057 300 -> "300":
edit 1058 0 -> "00000000": 54 0C @5:FD>00;
edit 1058 300 -> "00000300": 54 0C @7:00>03;
edit 1060 0 -> "00 ": A0 80 @8:03>01 @10:02>00;
edit 1060 300 -> "30 00 ": A0 80 @8:01>02 @10:00>30 @11:01>00;
edit 1061 0 -> "0":
edit 1061 300 -> "300":
edit 1062 0 -> "00000000": 54 0D @4:28>08 @5:FD>00;
edit 1062 300 -> "00000300": 54 0D @7:00>03;
choice 1063 1: 54 27 @4:60>61;
edit 1065 0 -> "00000000": 54 0E @5:FD>00;
edit 1065 300 -> "00000300": 54 0E @7:00>03;
choice 1066 2: 54 28 @4:71>72;
check 1067 off: 52 1D @2:04>00;
edit 1068 0 -> "00000000":
edit 1068 300 -> "00000300": 54 0F @7:00>03;
check 1070 on: 52 1D @2:00>08;
edit 1071 0 -> "00000000":
edit 1071 300 -> "00000300": 54 10 @7:00>03;
edit 1072 0 -> "0": 54 24 @4:80>00 @5:1F>00;
edit 1072 300 -> "300": 54 24 @5:00>0C;
check 1073 on: 52 1D @2:08>18;
edit 1074 0 -> "00000000":
edit 1074 300 -> "00000300": 54 11 @7:00>03;
choice 1076 1: 54 11 @4:00>08;
choice 1077 0: 52 20 @2:FC>F0;
check 1078 on: 52 1D @2:18>38;
choice 1079 0: 54 1C @6:F0>00;
edit 1080 0 -> "00000000":
edit 1080 300 -> "00000300": 54 12 @7:00>03;
edit 1081 0 -> "00 ": 54 24 @8:08>03;
edit 1081 300 -> "30 00 ": 54 24 @8:03>04 @12:00>30;
choice 1082 1: 54 12 @4:00>08;
choice 1083 0: 52 20 @2:F0>C0;
check 1084 on: 52 1D @2:38>78;
choice 1085 0: 54 1C @7:FF>F0;
edit 1086 0 -> "00000000":
edit 1086 300 -> "00000300": 54 13 @7:00>03;
radio 1088: [B1 00 01 00 -> B1 02 01 00 ]
radio 1089: [B1 02 01 00 -> B1 03 01 00 ]
choice 1091 1: 54 13 @4:00>08;
choice 1092 0: 52 20 @2:C0>00;
check 1093 on: 52 1D @2:78>F8;
choice 1094 0: 54 1C @7:F0>00;
edit 1095 0 -> "0": 54 25 @4:84>00 @5:1F>00;
edit 1095 300 -> "300": 54 25 @5:00>0C;
radio 1096: 52 13 @2:00>01;
edit 1098 0 -> "00 ": 54 25 @8:08>03;
edit 1098 300 -> "30 00 ": 54 25 @8:03>04 @12:00>30;
edit 1099 0 -> "000":
edit 1099 300 -> "300": 54 0C @5:00>60;
edit 1100 0 -> "000":
edit 1100 300 -> "300": 54 0D @5:00>60;
radio 1101: 52 13 @2:01>00;
choice 1104 1: A0 80 @4:00>01;
choice 1105 1: A0 80 @4:01>03 @9:00>02;
edit 1106 0 -> "000":
edit 1106 300 -> "300": 54 0E @5:00>60;
edit 1107 0 -> "000":
edit 1107 300 -> "300": 54 0F @5:00>60;
edit 1108 0 -> "000":
edit 1108 300 -> "300": 54 10 @5:00>60;
edit 1109 0 -> "000":
edit 1109 300 -> "300": 54 11 @5:00>60;
edit 1110 0 -> "000":
edit 1110 300 -> "300": 54 12 @5:00>60;
edit 1111 0 -> "000":
edit 1111 300 -> "300": 54 13 @5:00>60;
edit 1112 0 -> "00 ":
edit 1112 300 -> "30 00 ":
edit 1113 0 -> "000": 54 09 @4:E8>08 @5:FF>00;
edit 1113 300 -> "300": 54 09 @5:00>60;
edit 1114 0 -> "000": 54 0A @5:FF>00;
edit 1114 300 -> "300": 54 0A @5:00>60;
edit 1115 0 -> "000": 54 0B @4:E8>08 @5:FF>00;
edit 1115 300 -> "300": 54 0B @5:00>60;
radio 1117: 54 24 @4:00>01; 54 25 @4:00>01;
edit 1118 0 -> "0":
edit 1118 300 -> "300":
edit 1120 0 -> "00 01 02 03 04 ":
edit 1120 300 -> "30 00 02 03 04 ":
edit 1143 0 -> "00000000": 54 09 @5:60>00;
edit 1143 300 -> "00000300": 54 09 @7:00>03;
choice 1145 0: 54 09 @4:08>00;
edit 1146 0 -> "00000000": 54 0A @5:60>00;
edit 1146 300 -> "00000300": 54 0A @7:00>03;
choice 1148 0: 54 0A @4:08>00;
edit 1149 0 -> "00000000": 54 0B @5:60>00;
edit 1149 300 -> "00000300": 54 0B @7:00>03;
choice 1151 0: 54 0B @4:08>00;
choice 1152 1: 54 0C @4:00>08;
edit 1154 0 -> "0": 54 26 @5:D0>C0;
edit 1154 300 -> "63": 54 26 @5:C0>FF; | BSIZE 最大值为63 [] 0
edit 1155 0 -> "0": 54 26 @6:61>00;
edit 1155 300 -> "30": 54 26 @6:00>30;
edit 1156 0 -> "0": 54 26 @7:61>00;
edit 1156 300 -> "30": 54 26 @7:00>30;
edit 1157 0 -> "0":
edit 1157 300 -> "255": 54 27 @5:00>FF; | BSIZE 最大值为255 [] 0
edit 1158 0 -> "0": 54 27 @6:61>00;
edit 1158 300 -> "30": 54 27 @6:00>30;
edit 1159 0 -> "0":
edit 1159 300 -> "255": 54 28 @5:00>FF; | BSIZE 最大值为255 [] 0
edit 1160 0 -> "0": 54 28 @6:61>00;
edit 1160 300 -> "30": 54 28 @6:00>30;
edit 1161 0 -> "0": 54 24 @11:30>00;
edit 1161 300 -> "30": 54 24 @11:00>30;
edit 1162 0 -> "0": 54 25 @11:30>00;
edit 1162 300 -> "30": 54 25 @11:00>30;
edit 1163 0 -> "0": 52 60 @2:C8>00;
edit 1163 300 -> "255": 52 60 @2:00>FF; |  最大值为255 [] 0
edit 1164 0 -> "0":
edit 1164 300 -> "255": 52 61 @2:00>FF; |  最大值为255 [] 0
edit 1165 0 -> "0": 52 62 @2:0A>00;
edit 1165 300 -> "255": 52 62 @2:00>FF; |  最大值为255 [] 0
edit 1166 0 -> "0":
edit 1166 300 -> "300":
edit 1171 0 -> "10": | 数据长度必须多于一桢，设重新设定 [] 0
edit 1171 300 -> "257": | 超过KM5804允许的最大值长度 [] 0
edit 1173 0 -> "0":
edit 1173 300 -> "300":
)"},
    {"J1939", 1009, R"(check 1011 off: 52 29 @2:E2>62;
check 1012 off: 52 29 @2:62>42;
check 1013 off: 52 29 @2:42>02;
check 1017 on: 54 34 @6:00>20; 54 23 @6:03>FF @7:0C>0F;
check 1019 off:
choice 1037 1: 52 1F @2:10>11;
choice 1038 0: 54 1C @4:FF>F0;
choice 1039 0: 54 0D @4:08>00;
choice 1040 1: 52 1F @2:11>15;
choice 1041 0: 54 1C @4:F0>00;
choice 1042 0: 54 0E @4:08>00;
choice 1043 2: 52 1F @2:15>25;
choice 1044 0: 54 1C @5:FF>F0;
choice 1045 0: 54 0F @4:08>00;
choice 1046 1: 52 1F @2:25>65;
choice 1047 0: 54 1C @5:F0>00;
choice 1048 1: 54 10 @4:00>08;
choice 1049 0: 52 20 @2:FF>FC;
choice 1050 0: 54 1C @6:FF>F0;
check 1052 off: 52 1D @2:07>06;
choice 1053 1: 54 34 @4:00>10;
check 1054 off: 52 1D @2:06>04;
edit 1055 0 -> "00000000": A0 80 @4:E9>01 @5:18>00 @6:03>00 @7:08>00 @9:E4>00;
edit 1055 300 -> "00000300": A0 80 @6:00>0C;
choice 1057 1: 54 34 @6:20>21;
edit 1058 0 -> "00000000": 54 0C @7:F9>00;
edit 1058 300 -> "00000300": 54 0C @7:00>03;
edit 1060 0 -> "00 ": A0 80 @8:08>01 @10:E0>00;
edit 1060 300 -> "30 00 ": A0 80 @8:01>02 @10:00>30 @11:FE>00;
choice 1061 0:
edit 1062 0 -> "00000000": 54 0D @7:FF>00;
edit 1062 300 -> "00000300": 54 0D @7:00>03;
choice 1063 0: 54 23 @5:1C>00;
choice 1064 0: 54 24 @5:1C>00;
edit 1065 0 -> "00000000": 54 0E @5:78>00;
edit 1065 300 -> "00000300": 54 0E @7:00>03;
choice 1066 0: 54 25 @5:1C>00;
check 1067 off: 52 1D @2:04>00;
edit 1068 0 -> "00000000": 54 0F @7:FF>00;
edit 1068 300 -> "00000300": 54 0F @7:00>03;
check 1070 on: 52 1D @2:00>08;
edit 1071 0 -> "00000000":
edit 1071 300 -> "00000300": 54 10 @7:00>03;
check 1073 on: 52 1D @2:08>18;
edit 1074 0 -> "00000000":
edit 1074 300 -> "00000300": 54 11 @7:00>03;
choice 1076 1: 54 11 @4:00>08;
choice 1077 0: 52 20 @2:FC>F0;
check 1078 on: 52 1D @2:18>38;
choice 1079 0: 54 1C @6:F0>00;
edit 1080 0 -> "00000000":
edit 1080 300 -> "00000300": 54 12 @7:00>03;
choice 1082 1: 54 12 @4:00>08;
choice 1083 0: 52 20 @2:F0>C0;
check 1084 on: 52 1D @2:38>78;
choice 1085 0: 54 1C @7:FF>F0;
edit 1086 0 -> "00000000":
edit 1086 300 -> "00000300": 54 13 @7:00>03;
choice 1091 1: 54 13 @4:00>08;
choice 1092 0: 52 20 @2:C0>00;
check 1093 on: 52 1D @2:78>F8;
choice 1094 0: 54 1C @7:F0>00;
edit 1112 0 -> "00 ":
edit 1112 300 -> "30 00 ":
edit 1123 0 -> "0": 54 23 @6:FF>FC @9:E4>00;
edit 1123 300 -> "30": 54 23 @9:00>C0;
edit 1127 0 -> "0":
edit 1127 300 -> "30": 54 24 @6:03>C3;
edit 1128 0 -> "0":
edit 1128 300 -> "30": 54 25 @6:03>C3;
edit 1129 0 -> "0": 54 24 @6:C3>C0 @9:E4>00;
edit 1129 300 -> "30": 54 24 @9:00>C0;
edit 1130 0 -> "0": 54 25 @6:C3>C0 @9:E4>00;
edit 1130 300 -> "30": 54 25 @9:00>C0;
edit 1131 0 -> "0":
edit 1131 300 -> "30":
edit 1143 0 -> "00000000": 54 09 @7:FF>00;
edit 1143 300 -> "00000300": 54 09 @7:00>03;
choice 1145 0: 54 09 @4:08>00;
edit 1146 0 -> "00000000": 54 0A @5:78>00;
edit 1146 300 -> "00000300": 54 0A @7:00>03;
choice 1148 0: 54 0A @4:08>00;
edit 1149 0 -> "00000000": 54 0B @4:FF>1C @5:FF>00 @6:FF>00 @7:FF>00;
edit 1149 300 -> "00000300": 54 0B @7:00>03;
choice 1151 0: 54 0B @4:1C>14;
choice 1152 0: 54 0C @4:08>00;
check 1248 on: 54 34 @6:21>31;
edit 1249 0 -> "0": 54 34 @5:10>00;
edit 1249 300 -> "255": 54 34 @5:00>FF; | BSIZE 最大值为255 [] 0
choice 1250 1: 54 34 @4:10>11;
edit 1251 0 -> "0": 52 68 @2:FA>00;
edit 1251 300 -> "255": 52 68 @2:00>FF; |  最大值为255 [] 0
edit 1252 0 -> "0": 52 69 @2:FA>00;
edit 1252 300 -> "255": 52 69 @2:00>FF; |  最大值为255 [] 0
edit 1253 0 -> "0": 52 6B @2:64>00;
edit 1253 300 -> "255": 52 6B @2:00>FF; |  最大值为255 [] 0
edit 1254 0 -> "0": 52 6A @2:64>00;
edit 1254 300 -> "255": 52 6A @2:00>FF; |  最大值为255 [] 0
edit 1261 0 -> "0":
edit 1261 300 -> "9": |  KM5804自动发送时，最大值为252，最小值为9 [] 0
edit 1262 0 -> "0":
edit 1262 300 -> "300":
)"},
    {"TP2.0", 1010, R"(check 1011 off: 52 29 @2:83>03;
check 1012 on:
check 1013 on:
check 1020 off:
choice 1037 1: 52 1F @2:F0>F1;
choice 1038 0: 54 1C @4:FF>F0;
choice 1039 1: 54 0D @4:E0>E8;
choice 1040 1: 52 1F @2:F1>F5;
choice 1041 0: 54 1C @4:F0>00;
choice 1042 1: 54 0E @4:00>08;
choice 1043 0: 52 1F @2:F5>C5;
choice 1044 0: 54 1C @5:FF>F0;
choice 1045 1: 54 0F @4:00>08;
choice 1046 0: 52 1F @2:C5>05;
choice 1047 0: 54 1C @5:F0>00;
choice 1048 1: 54 10 @4:00>08;
choice 1049 0: 52 20 @2:FF>FC;
choice 1050 0: 54 1C @6:FF>F0;
check 1052 off: 52 1D @2:03>02;
check 1054 off: 52 1D @2:02>00;
edit 1055 0 -> "000": A0 80 @4:B8>00 @5:0C>00;
edit 1055 300 -> "300": A0 80 @5:00>0C;
edit 1060 0 -> "00 ": A0 80 @8:05>01 @10:10>00;
edit 1060 300 -> "30 00 ": A0 80 @8:01>02 @10:00>30;
check 1067 on: 52 1D @2:00>04;
check 1070 on: 52 1D @2:04>0C;
check 1073 on: 52 1D @2:0C>1C;
choice 1076 1: 54 11 @4:00>08;
choice 1077 0: 52 20 @2:FC>F0;
check 1078 on: 52 1D @2:1C>3C;
choice 1079 0: 54 1C @6:F0>00;
choice 1082 1: 54 12 @4:00>08;
choice 1083 0: 52 20 @2:F0>C0;
check 1084 on: 52 1D @2:3C>7C;
choice 1085 0: 54 1C @7:FF>F0;
choice 1091 1: 54 13 @4:00>08;
choice 1092 0: 52 20 @2:C0>00;
check 1093 on: 52 1D @2:7C>FC;
choice 1094 0: 54 1C @7:F0>00;
edit 1099 0 -> "000": 54 0C @5:60>00;
edit 1099 300 -> "300": 54 0C @5:00>60;
edit 1100 0 -> "000": 54 0D @4:E8>08 @5:43>00;
edit 1100 300 -> "300": 54 0D @5:00>60;
edit 1102 0 -> "000": 54 25 @4:B8>00 @5:0C>00;
edit 1102 300 -> "300": 54 25 @5:00>0C;
edit 1106 0 -> "000":
edit 1106 300 -> "300": 54 0E @5:00>60;
edit 1107 0 -> "000":
edit 1107 300 -> "300": 54 0F @5:00>60;
edit 1108 0 -> "000":
edit 1108 300 -> "300": 54 10 @5:00>60;
edit 1109 0 -> "000":
edit 1109 300 -> "300": 54 11 @5:00>60;
edit 1110 0 -> "000":
edit 1110 300 -> "300": 54 12 @5:00>60;
edit 1111 0 -> "000":
edit 1111 300 -> "300": 54 13 @5:00>60;
edit 1112 0 -> "00 ":
edit 1112 300 -> "30 00 ":
edit 1113 0 -> "000": 54 09 @4:E8>08 @5:FF>00;
edit 1113 300 -> "300": 54 09 @5:00>60;
edit 1114 0 -> "000": 54 0A @4:E8>08 @5:FF>00;
edit 1114 300 -> "300": 54 0A @5:00>60;
edit 1115 0 -> "000": 54 0B @4:E8>08 @5:FF>00;
edit 1115 300 -> "300": 54 0B @5:00>60;
edit 1118 0 -> "000":
edit 1118 300 -> "300":
edit 1120 0 -> "00 ":
edit 1120 300 -> "30 00 ":
edit 1121 0 -> "00 ": 54 25 @10:B0>00;
edit 1121 300 -> "30 00 ": 54 25 @8:01>02 @10:00>30;
choice 1145 0: 54 09 @4:08>00;
choice 1148 0: 54 0A @4:08>00;
choice 1151 0: 54 0B @4:08>00;
choice 1152 1: 54 0C @4:00>08;
edit 1167 0 -> "800": | 链路时间应设在100ms-1000ms间 [] 0
edit 1167 300 -> "300":
edit 1171 0 -> "0":
edit 1171 300 -> "252": | 最大有效值 252字节 [] 0
check 1224 on: 54 29 @5:0F>2F;
check 1225 on: 54 29 @5:2F>3F;
check 1226 on: 54 29 @5:3F>7F;
choice 1227 2: 54 29 @4:01>02;
choice 1228 1: 54 29 @4:02>12;
edit 1229 0 -> "15": | BSIZ 值为0-15间 [] 0
edit 1229 300 -> "15": | BSIZ 值为0-15间 [] 0
edit 1230 0 -> "0": 52 64 @2:14>00;
edit 1230 300 -> "255": 52 64 @2:00>FF; |  最大值为255 [] 0
edit 1231 0 -> "0": 52 65 @2:32>00;
edit 1231 300 -> "255": 52 65 @2:00>FF; |  最大值为255 [] 0
edit 1232 0 -> "0": 52 66 @2:14>00;
edit 1232 300 -> "255": 52 66 @2:00>FF; |  最大值为255 [] 0
edit 1233 0 -> "000":
edit 1233 300 -> "300":
edit 1235 0 -> "00 ":
edit 1235 300 -> "30 00 ":
edit 1236 0 -> "000": 54 24 @4:B8>00 @5:0C>00;
edit 1236 300 -> "300": 54 24 @5:00>0C;
edit 1238 0 -> "00 ": 54 24 @8:06>01 @10:A0>00;
edit 1238 300 -> "30 00 ": 54 24 @8:01>02 @10:00>30 @11:0F>00;
check 1240 on: 54 29 @5:7F>FF;
)"},
    {"J1850 VPW", 1007, R"(radio 1008: 52 08 @2:02>03; A0 82 @4:00>08;
radio 1009: 52 08 @2:03>02; A0 82 @4:08>00;
edit 1011 0 -> "0":
edit 1011 300 -> "300":
edit 1012 0 -> "0":
edit 1012 300 -> "300":
edit 1019 0 -> "0":
edit 1019 300 -> "30":
edit 1023 0 -> "0":
edit 1023 300 -> "30":
choice 1026 1:
choice 1028 1:
choice 1029 1: 54 00 @4:00>10;
choice 1030 1: 54 00 @4:10>50;
choice 1031 1: 54 00 @5:00>10;
choice 1032 1: 54 00 @5:10>50;
choice 1033 1: 54 00 @6:00>10;
choice 1034 1: 54 00 @6:10>50;
choice 1035 1: 54 00 @7:00>10;
choice 1036 1: 54 00 @7:10>50;
choice 1037 1: 54 00 @8:00>10;
choice 1038 1: 54 00 @8:10>50;
choice 1039 1: 54 00 @9:00>10;
choice 1040 1: 54 00 @9:10>50;
choice 1041 1: 54 00 @10:00>10;
choice 1042 1: 54 00 @10:10>50;
choice 1043 1: 54 00 @11:00>10;
choice 1044 1: 54 00 @11:10>50;
edit 1045 0 -> "00 00 00 00 00 00 00 00 ": 54 03 @4:F1>00;
edit 1045 300 -> "30 00 00 00 00 00 00 00 ": 54 03 @4:00>30;
edit 1046 0 -> "00 ": 52 06 @2:00>02;
edit 1046 300 -> "30 00 ": 54 04 @4:00>30; 52 06 @2:02>03;
edit 1047 0 -> "00 ": 52 07 @2:00>02;
edit 1047 300 -> "30 00 ": 54 05 @4:00>30; 52 07 @2:02>03;
choice 1049 1:
choice 1050 1:
check 1051 off: 52 08 @2:02>00;
edit 1055 0 -> "00": A0 82 @8:68>00;
edit 1055 300 -> "30": A0 82 @8:00>30;
edit 1060 0 -> "00 ": A0 82 @5:06>03 @9:6A>00;
edit 1060 300 -> "30 00 ": A0 82 @5:03>04 @9:00>30 @10:F1>00;
choice 1063 1: 54 00 @4:50>51;
choice 1064 1: 54 00 @5:50>51;
choice 1066 1: 54 00 @6:50>51;
radio 1067:
radio 1068:
choice 1069 1: 54 00 @7:50>51;
choice 1070 1: 54 00 @8:50>51;
choice 1071 1: 54 00 @9:50>51;
choice 1072 1: 54 00 @10:50>51;
choice 1073 1: 54 00 @11:50>51;
choice 1074 1: 54 00 @4:51>59;
choice 1075 1: 54 00 @5:51>59;
choice 1076 1: 54 00 @6:51>59;
choice 1077 1: 54 00 @7:51>59;
choice 1078 1: 54 00 @8:51>59;
choice 1079 1: 54 00 @9:51>59;
choice 1080 1: 54 00 @10:51>59;
choice 1081 1: 54 00 @11:51>59;
)"},
    {"J1850 PWM", 1008, R"(radio 1008: 52 08 @2:02>03; A0 82 @4:00>08;
radio 1009: 52 08 @2:03>02; A0 82 @4:08>00;
edit 1011 0 -> "0":
edit 1011 300 -> "300":
edit 1012 0 -> "0":
edit 1012 300 -> "300":
edit 1019 0 -> "0":
edit 1019 300 -> "30":
edit 1023 0 -> "0":
edit 1023 300 -> "30":
choice 1026 1:
choice 1028 1:
choice 1029 1: 54 00 @4:00>10;
choice 1030 1: 54 00 @4:10>50;
choice 1031 1: 54 00 @5:00>10;
choice 1032 1: 54 00 @5:10>50;
choice 1033 1: 54 00 @6:00>10;
choice 1034 1: 54 00 @6:10>50;
choice 1035 1: 54 00 @7:00>10;
choice 1036 1: 54 00 @7:10>50;
choice 1037 1: 54 00 @8:00>10;
choice 1038 1: 54 00 @8:10>50;
choice 1039 1: 54 00 @9:00>10;
choice 1040 1: 54 00 @9:10>50;
choice 1041 1: 54 00 @10:00>10;
choice 1042 1: 54 00 @10:10>50;
choice 1043 1: 54 00 @11:00>10;
choice 1044 1: 54 00 @11:10>50;
edit 1045 0 -> "00 00 00 00 00 00 00 00 ": 54 03 @4:F1>00;
edit 1045 300 -> "30 00 00 00 00 00 00 00 ": 54 03 @4:00>30;
edit 1046 0 -> "00 ": 52 06 @2:00>02;
edit 1046 300 -> "30 00 ": 54 04 @4:00>30; 52 06 @2:02>03;
edit 1047 0 -> "00 ": 52 07 @2:00>02;
edit 1047 300 -> "30 00 ": 54 05 @4:00>30; 52 07 @2:02>03;
choice 1049 1:
choice 1050 1:
check 1051 off: 52 08 @2:02>00;
edit 1055 0 -> "00": A0 82 @8:61>00;
edit 1055 300 -> "30": A0 82 @8:00>30;
edit 1060 0 -> "00 ": A0 82 @5:06>03 @9:6A>00;
edit 1060 300 -> "30 00 ": A0 82 @5:03>04 @9:00>30 @10:F1>00;
choice 1063 1: 54 00 @4:50>51;
choice 1064 1: 54 00 @5:50>51;
choice 1066 1: 54 00 @6:50>51;
radio 1067:
radio 1068:
choice 1069 1: 54 00 @7:50>51;
choice 1070 1: 54 00 @8:50>51;
choice 1071 1: 54 00 @9:50>51;
choice 1072 1: 54 00 @10:50>51;
choice 1073 1: 54 00 @11:50>51;
choice 1074 1: 54 00 @4:51>59;
choice 1075 1: 54 00 @5:51>59;
choice 1076 1: 54 00 @6:51>59;
choice 1077 1: 54 00 @7:51>59;
choice 1078 1: 54 00 @8:51>59;
choice 1079 1: 54 00 @9:51>59;
choice 1080 1: 54 00 @10:51>59;
choice 1081 1: 54 00 @11:51>59;
)"},
};

// Test names carry the page's hub button.
void PrintTo(const PageWalk& walk, std::ostream* os) { *os << walk.hubButton; }

class ControlWalkTest : public WindowWalk, public ::testing::WithParamInterface<PageWalk> {};

TEST_P(ControlWalkTest, EveryControlChangesWhatItShouldOnTheWire) {
    wxWindow* page = Open(GetParam().hubButton);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(WalkControls(page, messages_, 1014, 1003, 1015), GetParam().effects);
}

INSTANTIATE_TEST_SUITE_P(Pages, ControlWalkTest, ::testing::ValuesIn(kWalks),
                         [](const ::testing::TestParamInfo<PageWalk>& info) { return std::to_string(info.param.hubButton); });

// The simulator's protocol choice, as the user steps through it: the summary it shows and the
// set-up the next START downloads (the first protocol's in full, then what changes).
TEST_F(WindowWalk, TheSimulatorsProtocolChoiceSetsUpEachBus) {
    wxWindow* page = Open(1015);
    ASSERT_NE(page, nullptr);
    auto* protocol = dynamic_cast<wxChoice*>(page->FindWindow(1201));
    auto* summary = dynamic_cast<wxStaticText*>(page->FindWindow(1276));
    ASSERT_TRUE(protocol && summary);
    std::string seen;
    std::vector<Bytes> before;
    for (int row = 0; row < 7; ++row) {
        Choose(protocol, row);
        const std::vector<Bytes> download = walk_detail::RunOnce(page, 1200, 1200, 0);
        seen += protocol->GetStringSelection().utf8_string() + ": " + summary->GetLabel().utf8_string() + "\n";
        if (row == 0)
            for (const Bytes& p : download) seen += "  " + walk_detail::HexBytes(p) + "\n";
        else
            seen += " " + walk_detail::Diff(before, download) + "\n";
        before = download;
    }
    EXPECT_EQ(seen, R"(ISO9141-2: ECU as ISO9141-2   Baudrate: 10400   5Baudrate InitAddress: 0x33
Req.Header: 68 6A F1    Ack.Header: 48 6B 10
  52 0D 00 
  52 0E 20 
  52 0E 00 
  52 17 00 
  52 3B FF 
  52 05 00 
  52 01 95 
  52 42 00 
  52 44 1E 
  52 45 0A 
  52 39 00 
  52 3C 00 
  52 2D 00 
  52 2E 08 
  52 2F 00 
  52 30 FF 
  52 32 00 
  52 33 00 
  52 34 00 
  52 36 00 
  52 37 00 
  52 35 00 
  54 2A 02 00 EF 00 
  54 2B 0A 00 FB 32 05 64 05 64 00 32 1E 00 
  54 2E 0C 00 00 33 9C 19 08 08 96 0A 01 1E 32 00 
  B1 C3 02 00 
ISO14230 - 5Baud (KWP2000): ECU as ISO14230 SlowInit   Baudrate: 10400   5Baudrate InitAddress: 0x33
Req.Func_Address: 0x33 Req.Phys_Address: 0x10   Key Word: EF 8F  Target Addr: F1
  54 2E @8:08>EF @9:08>8F; [B1 C3 02 00 -> B1 C1 02 00 ]
ISO14230 - Fast Init (KWP2000): ECU as ISO14230 Fastinit   Baudrate: 10400   LowPuls Time: 25 ms
Req.Func_Address: 0x33     Req.Phys_Address: 0x10      Target Address: 0xF1
  54 2E @4:00>01;
J1850VPW - 10.4kbps: FunctionReqHeader:  68 6A F1     Function Repond Header: 48 6B 10
 PhysicalReqHeader:  6C 10 F1      Physical Repond Header: 6C F1 10      < J1850 VPW 10.4KBPS >
  52 3B @2:FF>00; 52 05 @2:00>FF; [52 42 00 -> 52 09 5E ] [52 44 1E -> 52 08 00 ] [52 45 0A -> 52 04 00 ] [52 39 00 -> 52 06 00 ] [52 3C 00 -> 52 07 00 ] [52 2D 00 -> 52 0A 00 ] [52 2E 08 -> 54 00 08 00 20 10 20 00 10 00 00 00 ] [52 2F 00 -> 54 03 08 00 10 00 00 00 00 00 00 00 ] [52 30 FF -> 56 02 00 00 ] [52 32 00 -> 55 02 6A 04 ] [52 33 00 -> 55 02 10 02 ] [52 34 00 -> 56 01 00 02 ] [52 36 00 -> B1 00 04 00 ] [52 37 00 -> ] [52 35 00 -> ] [54 2A 02 00 EF 00 -> ] [54 2B 0A 00 FB 32 05 64 05 64 00 32 1E 00 -> ] [54 2E 0C 00 01 33 9C 19 EF 8F 96 0A 01 1E 32 00 -> ] [B1 C1 02 00 -> ]
J1850PWM - 41.6kbps: FunctionReqHeader:  61 6A F1     Function Repond Header: 41 6B 10
 PhysicalReqHeader:  64 10 F1      Physical Repond Header: 64 F1 10      < J1850 PWM 41.6KBPS >
  52 09 @2:5E>DE;
ISO15765 -11bit (250/500KBPS): ECU as CAN 11bits   Baudrate: 500kpbs   
 Function Req ID: 0x7DF    Physical Req.ID: 0x7E0    Ack.Respobd ID: 0x7E8
  52 17 @2:00>FC; 52 05 @2:FF>00; [52 09 DE -> 52 10 04 ] [52 08 00 -> 52 13 00 ] [52 04 00 -> 52 27 00 ] [52 06 00 -> 52 28 3F ] [52 07 00 -> 52 29 E0 ] [52 0A 00 -> 52 1A C1 ] [54 00 08 00 20 10 20 00 10 00 00 00 -> 52 1B FC ] [54 03 08 00 10 00 00 00 00 00 00 00 -> 52 1C 05 ] [56 02 00 00 -> 54 09 04 00 E8 FF 00 00 ] [55 02 6A 04 -> 54 0C 04 00 E0 FB 00 00 ] [55 02 10 02 -> 54 0D 04 00 00 FC 00 00 ] [56 01 00 02 -> 52 1F 00 ] [B1 00 04 00 -> 52 1D 03 ] [-> 52 1E 00 ] [-> 54 27 04 00 00 00 00 00 ] [-> 54 28 04 00 01 00 00 00 ] [-> 54 24 10 00 A0 1F 00 00 08 00 30 00 00 00 00 00 00 00 00 00 ] [-> 54 25 10 00 A0 1F 00 00 08 00 30 00 00 00 00 00 00 00 00 00 ] [-> 54 26 04 00 81 10 00 00 ] [-> 52 60 C8 ] [-> 52 61 00 ] [-> 52 62 0A ] [-> B1 00 01 00 ]
ISO15765 -29bit (250/500KBPS): ECU as CAN 29bits   Baudrate: 500kpbs   
 Function Req ID: 0x18DB33F1    Physical Req ID: 0x18DA10F1    Ack.Respobd ID: 0x18DAF110
  54 09 @4:E8>FF @6:00>FF @7:00>FF; 54 0C @4:E0>CB @5:FB>C6 @6:00>F1 @7:00>33; 54 0D @4:00>CA @5:FC>C6 @6:00>F1 @7:00>10; 54 24 @4:A0>D9 @5:1F>18 @6:00>C4 @7:00>0B @9:00>40; 54 25 @4:A0>D9 @5:1F>18 @6:00>C4 @7:00>0B @9:00>40;
)");
}

}  // namespace
