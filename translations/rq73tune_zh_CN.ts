<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>DataFileMessage</name>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Error file！</source>
        <translation>错误的文件！</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; does not exist.</source>
        <translation>文件“%1”不存在。</translation>
    </message>
    <message>
        <source>A folder of that name is in the way.</source>
        <translation>该位置已有同名的文件夹。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a folder, not a radio data file.</source>
        <translation>“%1”是文件夹，不是对讲机数据文件。</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; cannot be read.</source>
        <translation>无法读取文件“%1”。</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; is incomplete: a radio data file holds %2 bytes, this one holds %3.</source>
        <translation>文件“%1”不完整：对讲机数据文件应有 %2 字节，此文件只有 %3 字节。</translation>
    </message>
    <message>
        <source>The folder does not exist.</source>
        <translation>文件夹不存在。</translation>
    </message>
    <message>
        <source>The file cannot be created in that folder. The folder may be read-only, or you may not have permission to write there.</source>
        <translation>无法在该文件夹中创建文件。该文件夹可能是只读的，或者您没有写入权限。</translation>
    </message>
    <message>
        <source>Writing failed; the disk may be full.</source>
        <translation>写入失败，磁盘可能已满。</translation>
    </message>
    <message>
        <source>The data could not be saved to &quot;%1&quot;.</source>
        <translation>无法将数据保存到“%1”。</translation>
    </message>
    <message>
        <source>System message: %1</source>
        <translation>系统信息：%1</translation>
    </message>
    <message>
        <source>A file already there was left unchanged.</source>
        <translation>原有的文件未被改动。</translation>
    </message>
    <message>
        <source>Nothing was loaded; the current data is unchanged.</source>
        <translation>未载入任何数据，当前数据保持不变。</translation>
    </message>
</context>
<context>
    <name>FormComPort</name>
    <message>
        <source>Set COM</source>
        <translation>串口设置</translation>
    </message>
    <message>
        <source>Comm Port</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>No port can be opened now. Check that the programming cable is plugged in.</source>
        <translation>当前没有可以打开的端口。请检查写频线是否插好。</translation>
    </message>
    <message>
        <source>Some ports refused access: on Linux, add your user to the dialout group (sudo usermod -aG dialout $USER) and log in again.</source>
        <translation>部分端口拒绝访问：在 Linux 上，请把用户加入 dialout 组（sudo usermod -aG dialout $USER）后重新登录。</translation>
    </message>
</context>
<context>
    <name>FormLanguage</name>
    <message>
        <source>Set Language</source>
        <translation>语言设置</translation>
    </message>
    <message>
        <source>Language Select</source>
        <translation>语言选择</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
</context>
<context>
    <name>FormProcess</name>
    <message>
        <source>Read Data From Radio</source>
        <translation>从对讲机读取数据</translation>
    </message>
    <message>
        <source>Write Data To Radio</source>
        <translation>向对讲机写入数据</translation>
    </message>
    <message>
        <source>Complete:</source>
        <translation>完成进度:</translation>
    </message>
    <message>
        <source>Please reselect COM port!</source>
        <translation>请重新选择端口！</translation>
    </message>
    <message>
        <source>Check connection!Retry or cancel?</source>
        <translation>检测连接！重试或取消？</translation>
    </message>
    <message>
        <source>Read Data OK</source>
        <translation>读频成功</translation>
    </message>
    <message>
        <source>Write Data OK</source>
        <translation>写频成功</translation>
    </message>
</context>
<context>
    <name>FormTune</name>
    <message>
        <source>Tune Data</source>
        <translation>调谐数据</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>RX Setting</source>
        <translation>接收选项</translation>
    </message>
    <message>
        <source>TX Setting</source>
        <translation>发射选项</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>其他选项</translation>
    </message>
    <message>
        <source>Tx Time(S)</source>
        <translation>发射时长(秒)</translation>
    </message>
    <message>
        <source>Read TuneData</source>
        <translation>读调谐数据</translation>
    </message>
    <message>
        <source>Write TuneData</source>
        <translation>写调谐数据</translation>
    </message>
    <message>
        <source>Read tune data from radio.Do you wish continue?</source>
        <translation>从对讲机读取调谐数据？</translation>
    </message>
    <message>
        <source>Read data successful</source>
        <translation>读取数据成功</translation>
    </message>
    <message>
        <source>Write tune data into radio.Do you wish continue?</source>
        <translation>向对讲机写入调谐数据？</translation>
    </message>
    <message>
        <source>Write data successful</source>
        <translation>写入数据成功</translation>
    </message>
</context>
<context>
    <name>FormTuneSq</name>
    <message>
        <source>ASQ On</source>
        <translation>ASQ开启</translation>
    </message>
    <message>
        <source>ASQ Off</source>
        <translation>ASQ关闭</translation>
    </message>
    <message>
        <source>SQ On</source>
        <translation>SQ开启</translation>
    </message>
    <message>
        <source>SQ Off</source>
        <translation>SQ关闭</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>校准</translation>
    </message>
    <message>
        <source>reference</source>
        <translation>参考</translation>
    </message>
    <message>
        <source>Read Tune</source>
        <translation>读调谐数据</translation>
    </message>
    <message>
        <source>Write Tune</source>
        <translation>写调谐数据</translation>
    </message>
    <message>
        <source>Read tune data from radio.Do you wish continue?</source>
        <translation>从对讲机读取调谐数据？</translation>
    </message>
    <message>
        <source>Read data successful</source>
        <translation>读取数据成功</translation>
    </message>
    <message>
        <source>Write tune data into radio.Do you wish continue?</source>
        <translation>向对讲机写入调谐数据？</translation>
    </message>
    <message>
        <source>Write data successful</source>
        <translation>写入数据成功</translation>
    </message>
</context>
<context>
    <name>MDIFormMain</name>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>新建(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>打开(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As</source>
        <translation>另存为(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>退出(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Program</source>
        <translation>编程(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Read From Radio</source>
        <translation>从对讲机读出数据(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Write To Radio</source>
        <translation>向对讲机写入数据(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Setting</source>
        <translation>设置(&amp;S)</translation>
    </message>
    <message>
        <source>Set &amp;Com</source>
        <translation>串口设置(&amp;C)</translation>
    </message>
    <message>
        <source>Set &amp;Language</source>
        <translation>语言设置(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>Tree &amp;View</source>
        <translation>树视图(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>工具栏(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Statusbar</source>
        <translation>状态栏(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>窗口(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>层叠(&amp;C)</translation>
    </message>
    <message>
        <source>Close All &amp;Windows</source>
        <translation>关闭所有窗口(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于RQ73 Tune(&amp;A)</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读频</translation>
    </message>
    <message>
        <source>Set Com</source>
        <translation>串口设置</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写频</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>RQ73 Tune</source>
        <translation>RQ73电调</translation>
    </message>
    <message>
        <source>Tune Data</source>
        <translation>调制数据</translation>
    </message>
    <message>
        <source>COM%1</source>
        <translation>通信端口%1</translation>
    </message>
    <message>
        <source>RQ73 Tune[FileName:%1]</source>
        <translation>RQ73 Tune[文件名:%1]</translation>
    </message>
    <message>
        <source>Do you want to cover current data?</source>
        <translation>覆盖当前数据？</translation>
    </message>
    <message>
        <source>The data in this program has not been read from a radio or loaded from a file since the program started or since New. Writing it replaces the radio&apos;s calibration with these values.

Write to the radio anyway?</source>
        <translation>程序中的数据自启动或新建以来既未从对讲机读出，也未从文件载入。写入会用这些数值替换对讲机的校准数据。

仍然写入对讲机吗？</translation>
    </message>
</context>
<context>
    <name>PortOpenMessage</name>
    <message>
        <source>The port %1 does not exist. Check that the programming cable is plugged in, or choose another COM port.</source>
        <translation>端口 %1 不存在。请检查写频线是否插好，或选择其他串口。</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>端口 %1 正被其他程序使用。请关闭该程序后重试。</translation>
    </message>
    <message>
        <source>You have no permission to use the port %1. On Linux, add your user to the dialout group (sudo usermod -aG dialout $USER) and log in again.</source>
        <translation>没有使用端口 %1 的权限。在 Linux 上，请把用户加入 dialout 组（sudo usermod -aG dialout $USER）后重新登录。</translation>
    </message>
    <message>
        <source>The port %1 could not be opened: %2</source>
        <translation>端口 %1 无法打开：%2</translation>
    </message>
</context>
<context>
    <name>SettingsMessage</name>
    <message>
        <source>The settings file cannot be read:
%1

The stored COM port is not used, and settings cannot be saved until the file is repaired or removed.</source>
        <translation>无法读取设置文件：
%1

不会使用其中保存的串口；在修复或删除该文件之前，设置无法保存。</translation>
    </message>
    <message>
        <source>The setting could not be saved to:
%1

It applies until the program is closed.</source>
        <translation>设置无法保存到：
%1

本次设置在程序关闭前有效。</translation>
    </message>
</context>
<context>
    <name>ShowFileDialog</name>
    <message>
        <source>Radio data file(*.rdat)</source>
        <translation>对讲机数据文件(*.rdat)</translation>
    </message>
    <message>
        <source>All file(*.*)</source>
        <translation>所有文件(*.*)</translation>
    </message>
    <message>
        <source>Unknown error!</source>
        <translation>未知原因导致操作失败！</translation>
    </message>
</context>
<context>
    <name>TuneValueRow</name>
    <message>
        <source>%1 Up</source>
        <translation>%1 增加</translation>
    </message>
    <message>
        <source>%1 Down</source>
        <translation>%1 减少</translation>
    </message>
</context>
<context>
    <name>TuneValues</name>
    <message>
        <source>Low Band</source>
        <translation>低频段</translation>
    </message>
    <message>
        <source>Mid Band</source>
        <translation>中频段</translation>
    </message>
    <message>
        <source>High Band</source>
        <translation>高频段</translation>
    </message>
    <message>
        <source>Low Power</source>
        <translation>低功率</translation>
    </message>
    <message>
        <source>Mid Power</source>
        <translation>中功率</translation>
    </message>
    <message>
        <source>High&#x3000;Power</source>
        <translation>高功率</translation>
    </message>
    <message>
        <source>Low Band SQ</source>
        <translation>低频段接收灵敏度</translation>
    </message>
    <message>
        <source>Mid Band SQ</source>
        <translation>中频段接收灵敏度</translation>
    </message>
    <message>
        <source>High Band SQ</source>
        <translation>高频段接收灵敏度</translation>
    </message>
    <message>
        <source>Low Band BPS</source>
        <translation>低频段发射BPS</translation>
    </message>
    <message>
        <source>Mid Band BPS</source>
        <translation>中频段发射BPS</translation>
    </message>
    <message>
        <source>High Band BPS</source>
        <translation>高频段发射BPS</translation>
    </message>
    <message>
        <source>AM Volume</source>
        <translation>AM喇叭音量</translation>
    </message>
    <message>
        <source>FM Volume</source>
        <translation>FM喇叭音量</translation>
    </message>
    <message>
        <source>PA Volume</source>
        <translation>PA喇叭音量</translation>
    </message>
    <message>
        <source>TB Volume</source>
        <translation>TB喇叭音量</translation>
    </message>
    <message>
        <source>USB Volume</source>
        <translation>USB喇叭音量</translation>
    </message>
    <message>
        <source>LSB Volume</source>
        <translation>LSB喇叭音量</translation>
    </message>
    <message>
        <source>FM Mic Deviation</source>
        <translation>FM Mic灵敏度</translation>
    </message>
    <message>
        <source>AM Mic Deviation</source>
        <translation>AM Mic灵敏度</translation>
    </message>
    <message>
        <source>USB Mic Deviation</source>
        <translation>USB Mic灵敏度</translation>
    </message>
    <message>
        <source>LSB Mic Deviation</source>
        <translation>LSB Mic灵敏度</translation>
    </message>
    <message>
        <source>PA Mic Deviation</source>
        <translation>PA Mic灵敏度</translation>
    </message>
    <message>
        <source>Frequency Adjust</source>
        <translation>频率校准</translation>
    </message>
    <message>
        <source>Tx Deviation</source>
        <translation>发射频偏</translation>
    </message>
    <message>
        <source>%1 %2 %3</source>
        <extracomment>Accessible name of a transmit row: mode, band part, power part</extracomment>
        <translation>%1 %2%3</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <extracomment>Accessible name of a deviation row: its transmit row, then &quot;Tx Deviation&quot;</extracomment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>FM Setting</source>
        <translation>调频设置</translation>
    </message>
    <message>
        <source>AM Setting</source>
        <translation>调幅设置</translation>
    </message>
    <message>
        <source>USB Setting</source>
        <translation>USB设置</translation>
    </message>
    <message>
        <source>LSB Setting</source>
        <translation>LSB设置</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About %1</source>
        <translation>关于 %1</translation>
    </message>
    <message>
        <source>%1 software is used for RQ73</source>
        <translation>%1软件用于 RQ73 机型</translation>
    </message>
    <message>
        <source>Warning: wrong alignment values can put the radio out of its legal limits.</source>
        <translation>警告：错误的调试数据可能使对讲机超出法定指标。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>版本 %1</translation>
    </message>
</context>
</TS>
