// The program's string table, by number. Texts are the program's own and stay exactly as they are.

#include "Resources.h"
#include "resource.h"

#include "platform/StringTable.h"

#include <iterator>

namespace res {

const StringEntry kStrings[] = {
    {IDS_TAB_STATUS, "接收机状态"},
    {IDS_TAB_SKY, "星空图|信噪比"},
    {IDS_PARAM_NAME, "接收机参数"},
    {IDS_PARAM_VALUE, "取值"},
    {IDS_BAUD, "波特率"},
    {IDS_DIFF_MODE, "差分模式"},
    {IDS_ELEV_MASK, "高度截止角"},
    {IDS_AIR_MODE, "动态模式"},
    {IDS_SMOOTHING, "滤波间隔"},
    {IDS_FREQUENCY, "接收机频率"},
    {IDS_MAX_DIFF_AGE, "最大差分间隔(秒)"},
    {IDS_TAB_SATS, "卫星状态"},
    {IDS_TAB_OPTIONS, "选 项"},
    {IDS_SEARCHING, "正在搜星..."},
    {IDS_SINGLE_PREC, "单点定位H:%.01f;V:%.01f;RMS:%.3f"},
    {IDS_SINGLE, "单点定位"},
    {IDS_DIFF_PREC, "差分H:%.01f;V:%.01f;RMS:%.3f"},
    {IDS_DIFF, "差分定位"},
    {IDS_FIXED_PREC, "固定H:%.01f;V:%.01f;RMS:%.3f"},
    {IDS_FIXED, "RTK固定"},
    {IDS_FLOAT_PREC, "浮动H:%.01f;V:%.01f;RMS:%.3f"},
    {IDS_FLOAT, "RTK浮动"},
    {IDS_DEAD_RECKONING, "盲区计算"},
    {IDS_BASE_FIXED, "基准站固定"},
    {IDS_SIMULATION, "仿真模式"},
    {IDS_WAAS, "WAAS模式"},
    {IDS_UNKNOWN_STATUS, "UNKNOWN_STATUS"},
    {IDS_LOCAL_TIME, "%04d年%02d月%02d日%02d时%02d分%02d秒"},
    {IDS_CONNECTING, "正在连接接收机..."},
    {IDS_ALT_AIDING, "海拔补偿"},
    {IDS_SAT_PRN, "卫星号"},
    {IDS_SAT_SNR, "信噪比"},
    {IDS_SAT_SLIPS, "周跳数"},
    {IDS_SAT_ELEVATION, "高度角(度)"},
    {IDS_SAT_AZIMUTH, "方位角(度)"},
    {IDS_NO_DATA, "端口无数据"},
    {IDS_POWER_ON_TEXT, "开启"},
    {IDS_POWER_OFF_TEXT, "关闭"},
    {IDS_INITIALISING, "正在初始化GPS接收机..."},
    {IDS_TAB_COMMANDS, "命令设置"},
    {IDS_BOARD_TYPE, "主板类型"},
    {IDS_FACTORY_RESET, "确定将GPS接收机状态恢复为出厂默认设置？"},
    {IDS_TAB_CORS, "连接CORS"},
    {IDS_NET_CONNECT_FAILED, "连接网络失败，请检查网络连接！"},
    {IDS_DISCONNECT_FIRST, "重新连接需先断开连接！"},
    {IDS_CONNECT, "连接网络"},
    {IDS_DISCONNECT, "断开网络"},
    {IDS_HANDHELD_NET_FAILED, "手簿网络连接失败！"},
    {IDS_BAD_LOGIN, "用户名或密码错误！"},
    {IDS_BAUD_PROBE_FAILED, "串口不能正常通信，自适应串口波特率失败！"},
    {IDS_BAUD_PROBING, "查询串口波特率:%d"},
    {IDS_EXIT_QUESTION, "确定退出程序？"},
    {IDS_GPS_POWER_QUESTION, "GPS已经关闭，是否打开？"},
    {IDS_PORT_BUSY, "GPS连接端口已被占用！"},
    {IDS_LOGGING_IN, "正在登陆CORS服务器..."},
    {IDS_CORS_LOST, "与服务器断开连接!\n要设置WASS查分模式吗？"},
};

const std::size_t kStringCount = std::size(kStrings);

void RegisterStrings()
{
    for (const StringEntry& e : kStrings)
        platform::AddString(e.id, e.text);
}

} // namespace res
