<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AlignCommand</name>
    <message>
        <source>Give the measuring instrument with --meter, for example --meter tcp:192.168.1.20:5025.</source>
        <translation>请用 --meter 指定测量仪器，例如 --meter tcp:192.168.1.20:5025。</translation>
    </message>
    <message>
        <source>The report must be a .json, .html or .pdf file.</source>
        <translation>报告必须是 .json、.html 或 .pdf 文件。</translation>
    </message>
    <message>
        <source>Nothing was sent to the radio.</source>
        <translation>没有向对讲机发送任何数据。</translation>
    </message>
    <message>
        <source>Every step passed; the tune data were written to the radio.</source>
        <translation>所有步骤均合格；调谐数据已写入对讲机。</translation>
    </message>
    <message>
        <source>Every step passed; nothing was written to the radio.</source>
        <translation>所有步骤均合格；没有向对讲机写入数据。</translation>
    </message>
</context>
<context>
    <name>AlignProcedure</name>
    <message>
        <source>it is not an object.</source>
        <translation>它不是一个对象。</translation>
    </message>
    <message>
        <source>unknown key &quot;%1&quot;; a step takes %2.</source>
        <translation>未知的键“%1”；步骤只接受 %2。</translation>
    </message>
    <message>
        <source>&quot;value&quot; must name the value to align.</source>
        <translation>“value”必须给出要校准的值的名称。</translation>
    </message>
    <message>
        <source>no value that can be aligned is called &quot;%1&quot;.</source>
        <translation>没有名为“%1”的可校准值。</translation>
    </message>
    <message>
        <source>Did you mean &quot;%1&quot;?</source>
        <translation>您是不是指“%1”？</translation>
    </message>
    <message>
        <source>&quot;setup&quot; must be a list of instrument commands.</source>
        <translation>“setup”必须是仪器命令的列表。</translation>
    </message>
    <message>
        <source>every entry of &quot;setup&quot; must be one instrument command.</source>
        <translation>“setup”的每一项必须是一条仪器命令。</translation>
    </message>
    <message>
        <source>&quot;measure&quot; must be the instrument&apos;s query, for example &quot;MEAS:FERR?&quot;.</source>
        <translation>“measure”必须是仪器的查询命令，例如“MEAS:FERR?”。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a number.</source>
        <translation>“%1”必须是数字。</translation>
    </message>
    <message>
        <source>the limits must hold the target: low &lt;= target &lt;= high.</source>
        <translation>上下限必须包含目标值：low &lt;= target &lt;= high。</translation>
    </message>
    <message>
        <source>&quot;unit&quot; must be a text.</source>
        <translation>“unit”必须是文本。</translation>
    </message>
    <message>
        <source>%1 keys the transmitter: &quot;tx&quot; must give its transmit time, 1 to 10 seconds.</source>
        <translation>%1 会使发射机发射：“tx”必须给出发射时长，1 到 10 秒。</translation>
    </message>
    <message>
        <source>%1 does not key the transmitter; leave &quot;tx&quot; out.</source>
        <translation>%1 不会使发射机发射；请去掉“tx”。</translation>
    </message>
    <message>
        <source>&quot;settle_ms&quot; must be a whole number from 0 to %1.</source>
        <translation>“settle_ms”必须是 0 到 %1 之间的整数。</translation>
    </message>
    <message>
        <source>&quot;settle_ms&quot; must be shorter than the transmit time of %1 s, or the transmitter is off when the reading is taken.</source>
        <translation>“settle_ms”必须短于 %1 秒的发射时长，否则读数时发射机已经停止发射。</translation>
    </message>
    <message>
        <source>&quot;max_tries&quot; must be a whole number from 1 to %1.</source>
        <translation>“max_tries”必须是 1 到 %1 之间的整数。</translation>
    </message>
    <message>
        <source>Step %1: %2</source>
        <translation>第 %1 步：%2</translation>
    </message>
    <message>
        <source>It is not valid JSON (%1 at character %2).</source>
        <translation>它不是有效的 JSON（第 %2 个字符处：%1）。</translation>
    </message>
    <message>
        <source>It must be one JSON object with &quot;name&quot; and &quot;steps&quot;.</source>
        <translation>它必须是一个含有“name”和“steps”的 JSON 对象。</translation>
    </message>
    <message>
        <source>Unknown key &quot;%1&quot;; a procedure holds only &quot;name&quot; and &quot;steps&quot;.</source>
        <translation>未知的键“%1”；校准流程只包含“name”和“steps”。</translation>
    </message>
    <message>
        <source>&quot;name&quot; must give the procedure a name.</source>
        <translation>“name”必须给出校准流程的名称。</translation>
    </message>
    <message>
        <source>&quot;steps&quot; must be a list of at least one step.</source>
        <translation>“steps”必须是至少含一个步骤的列表。</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>文件不存在。</translation>
    </message>
    <message>
        <source>It is not a procedure file.</source>
        <translation>它不是校准流程文件。</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>无法读取文件：%1</translation>
    </message>
</context>
<context>
    <name>AlignReport</name>
    <message>
        <source>running</source>
        <translation>进行中</translation>
    </message>
    <message>
        <source>every step passed</source>
        <translation>所有步骤均合格</translation>
    </message>
    <message>
        <source>some step outside its limits</source>
        <translation>有步骤超出上下限</translation>
    </message>
    <message>
        <source>instrument fault</source>
        <translation>仪器故障</translation>
    </message>
    <message>
        <source>the radio did not answer</source>
        <translation>对讲机无应答</translation>
    </message>
    <message>
        <source>the radio&apos;s port failed</source>
        <translation>对讲机的串口出错</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>Instrument</source>
        <translation>仪器</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>开始时间</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>结束时间</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>The tune data were written to the radio.</source>
        <translation>调谐数据已写入对讲机。</translation>
    </message>
    <message>
        <source>Nothing was written to the radio.</source>
        <translation>没有向对讲机写入数据。</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>值</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>目标</translation>
    </message>
    <message>
        <source>Limits</source>
        <translation>上下限</translation>
    </message>
    <message>
        <source>Old value</source>
        <translation>原值</translation>
    </message>
    <message>
        <source>New value</source>
        <translation>新值</translation>
    </message>
    <message>
        <source>Reading</source>
        <translation>读数</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>步骤</translation>
    </message>
    <message>
        <source>Try</source>
        <translation>尝试</translation>
    </message>
    <message>
        <source>The report must be a .json, .html or .pdf file.</source>
        <translation>报告必须是 .json、.html 或 .pdf 文件。</translation>
    </message>
    <message>
        <source>This program cannot draw an HTML or PDF report.</source>
        <translation>本程序无法绘制 HTML 或 PDF 报告。</translation>
    </message>
</context>
<context>
    <name>AlignRun</name>
    <message>
        <source>Reading the whole radio...</source>
        <translation>正在读取整个对讲机……</translation>
    </message>
    <message>
        <source>Backup of the radio: %1</source>
        <translation>对讲机的备份：%1</translation>
    </message>
    <message>
        <source>Stopped; the radio keeps the value last sent, %1.</source>
        <translation>已停止；对讲机保留最后发送的值 %1。</translation>
    </message>
    <message>
        <source>The run was stopped.</source>
        <translation>校准已停止。</translation>
    </message>
    <message>
        <source>Some step ended outside its limits; nothing was written to the radio.</source>
        <translation>有步骤结束时超出上下限；没有向对讲机写入数据。</translation>
    </message>
    <message>
        <source>Step %1: %2, now %3</source>
        <translation>第 %1 步：%2，当前 %3</translation>
    </message>
    <message>
        <source>Step %1: %2</source>
        <translation>第 %1 步：%2</translation>
    </message>
    <message>
        <source>Step %1: try %2, value %3, reading %4 %5</source>
        <translation>第 %1 步：第 %2 次尝试，值 %3，读数 %4 %5</translation>
    </message>
    <message>
        <source>No value brought the reading within %1 to %2 %3; the nearest was %4 at %5.</source>
        <translation>没有任何值使读数落在 %1 到 %2 %3 之内；最接近的是值 %5 时的 %4。</translation>
    </message>
    <message>
        <source>Step %1: %2, value %3</source>
        <translation>第 %1 步：%2，值 %3</translation>
    </message>
    <message>
        <source>Writing the tune data to the radio...</source>
        <translation>正在向对讲机写入调谐数据……</translation>
    </message>
</context>
<context>
    <name>AlignStepResult</name>
    <message>
        <source>waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>running</source>
        <translation>进行中</translation>
    </message>
    <message>
        <source>passed</source>
        <translation>合格</translation>
    </message>
    <message>
        <source>outside the limits</source>
        <translation>超出上下限</translation>
    </message>
    <message>
        <source>instrument fault</source>
        <translation>仪器故障</translation>
    </message>
    <message>
        <source>frame not sent</source>
        <translation>数据帧未发出</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>已跳过</translation>
    </message>
</context>
<context>
    <name>BackupStore</name>
    <message>
        <source>No data folder</source>
        <translation>没有数据文件夹</translation>
    </message>
    <message>
        <source>Cannot create %1</source>
        <translation>无法创建 %1</translation>
    </message>
    <message>
        <source>The new backup is gone from the folder</source>
        <translation>新的备份已不在文件夹中</translation>
    </message>
    <message>
        <source>No free file name</source>
        <translation>没有可用的文件名</translation>
    </message>
</context>
<context>
    <name>CliArguments</name>
    <message>
        <source>The option %1 takes no value.</source>
        <translation>选项 %1 不带值。</translation>
    </message>
    <message>
        <source>The option %1 needs a value.</source>
        <translation>选项 %1 需要一个值。</translation>
    </message>
    <message>
        <source>The option %1 needs a whole number, not &quot;%2&quot;.</source>
        <translation>选项 %1 需要一个整数，而不是“%2”。</translation>
    </message>
    <message>
        <source>Unknown option: %1</source>
        <translation>未知选项：%1</translation>
    </message>
    <message>
        <source>The COM port number must lie between 1 and 99.</source>
        <translation>串口号必须在 1 到 99 之间。</translation>
    </message>
    <message>
        <source>The number of retries cannot be negative.</source>
        <translation>重试次数不能为负数。</translation>
    </message>
    <message>
        <source>The transmit time must lie between 1 and 10 seconds.</source>
        <translation>发射时长必须在 1 到 10 秒之间。</translation>
    </message>
</context>
<context>
    <name>CliCommands</name>
    <message>
        <source>--direct writes without a question; --yes answers it. Give one.</source>
        <translation>--direct 不提问直接写入；--yes 回答提问。请只给出其中一个。</translation>
    </message>
    <message>
        <source>The input is not a terminal, so nobody can answer the question before the write: give --yes to write after the list of changes, or --direct to write without reading the radio first. Nothing was read or written.</source>
        <translation>输入不是终端，无人能回答写入前的提问：给出 --yes 可在列出改变后写入，给出 --direct 可不先读取对讲机直接写入。未读取也未写入任何数据。</translation>
    </message>
    <message>
        <source>Nothing was written: the radio&apos;s data could not be kept in the backups folder (%1).</source>
        <translation>未写入任何数据：无法在备份文件夹中保留对讲机的数据（%1）。</translation>
    </message>
    <message>
        <source>The radio&apos;s data before the write is in the backup %1.</source>
        <translation>写入前对讲机的数据保存在备份 %1 中。</translation>
    </message>
    <message>
        <source>(keys the transmitter)</source>
        <translation>（使发射机发射）</translation>
    </message>
    <message>
        <source>The radio already holds every value of this write.</source>
        <translation>对讲机已含有本次写入的所有值。</translation>
    </message>
    <message>
        <source>The radio&apos;s data as it is now is kept in the backup %1.</source>
        <translation>对讲机当前的数据已保存在备份 %1 中。</translation>
    </message>
    <message>
        <source>Write into the radio? [y/N] </source>
        <translation>写入对讲机？[y/N] </translation>
    </message>
    <message>
        <source>y</source>
        <translation>y</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>Nothing was written.</source>
        <translation>未写入任何数据。</translation>
    </message>
    <message>
        <source>Written, but the read back did not complete, so the write is not checked.</source>
        <translation>已写入，但回读未完成，写入未经核对。</translation>
    </message>
    <message>
        <source>Written and checked: the radio holds every value of this write.</source>
        <translation>已写入并核对：对讲机含有本次写入的所有值。</translation>
    </message>
    <message numerus="yes">
        <source>The write changes %n value(s) in the radio.</source>
        <translation>
            <numerusform>本次写入将改变对讲机中的 %n 个值。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Written, but the radio differs from the data in %n value(s).</source>
        <translation>
            <numerusform>已写入，但对讲机与数据有 %n 个值不同。</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is already there; nothing was read. Give --force to replace it with the radio&apos;s data.</source>
        <translation>%1 已存在，未读取任何数据。给出 --force 可用对讲机的数据替换它。</translation>
    </message>
    <message>
        <source>%1 was left as it is.</source>
        <translation>%1 保持原样，未被改动。</translation>
    </message>
    <message>
        <source>The radio has the new value; the file does not.</source>
        <translation>对讲机已有新值，但文件中没有。</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>没有给出命令。</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>未知命令：%1</translation>
    </message>
    <message>
        <source>Wrong number of arguments for &quot;%1&quot;.</source>
        <translation>“%1”的参数个数不对。</translation>
    </message>
    <message>
        <source>The option %1 does not apply to &quot;%2&quot;.</source>
        <translation>选项 %1 不适用于“%2”。</translation>
    </message>
    <message>
        <source>Run &quot;rq73tune-cli --help&quot; for the commands and options.</source>
        <translation>运行“rq73tune-cli --help”查看命令和选项。</translation>
    </message>
    <message>
        <source>The file was left as it is; nothing was read.</source>
        <translation>文件保持原样；没有读取任何数据。</translation>
    </message>
    <message>
        <source>file</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>radio</source>
        <translation>对讲机</translation>
    </message>
    <message>
        <source>The radio holds the same data as the file.</source>
        <translation>对讲机中的数据与文件相同。</translation>
    </message>
    <message numerus="yes">
        <source>The radio differs from the file in %n value(s).</source>
        <translation>
            <numerusform>对讲机与文件有 %n 个值不同。</numerusform>
        </translation>
    </message>
    <message>
        <source>Give either a data file with --file or --radio.</source>
        <translation>请用 --file 指定数据文件，或者用 --radio，二者选一。</translation>
    </message>
    <message>
        <source>The radio does not report %1: it is kept in data files only.</source>
        <translation>对讲机不会报告 %1：它只保存在数据文件中。</translation>
    </message>
    <message>
        <source>Give a data file with --file, the radio with --radio, or both.</source>
        <translation>请用 --file 指定数据文件，或用 --radio 指定对讲机，或者两者都给。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a whole number.</source>
        <translation>“%1”不是整数。</translation>
    </message>
    <message>
        <source>The transmit time is kept in the data file; it is never sent to the radio. Use --tx to choose it for one value.</source>
        <translation>发射时长保存在数据文件中，从不发送给对讲机。请用 --tx 为单个值选择发射时长。</translation>
    </message>
    <message>
        <source>%1 is not a tune value; the tune windows never send it to the radio.</source>
        <translation>%1 不是调谐值；调谐窗口从不把它发送给对讲机。</translation>
    </message>
    <message>
        <source>A squelch value goes to the radio together with the other value of its row; give the data file that holds them with --file.</source>
        <translation>静噪值与同一行的另一个值一起发送给对讲机；请用 --file 指定保存这两个值的数据文件。</translation>
    </message>
    <message>
        <source>The transmit time must lie between 1 and 10 seconds.</source>
        <translation>发射时长必须在 1 到 10 秒之间。</translation>
    </message>
    <message>
        <source>%1 is out of range; %2 is used instead.</source>
        <translation>%1 超出范围；改用 %2。</translation>
    </message>
    <message>
        <source>Nothing was sent to the radio.</source>
        <translation>没有向对讲机发送任何数据。</translation>
    </message>
    <message>
        <source>The frame did not leave the port %1.</source>
        <translation>数据帧没有从端口 %1 发出。</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>WORD</source>
        <translation>字</translation>
    </message>
    <message>
        <source>VALUE</source>
        <translation>值</translation>
    </message>
    <message>
        <source>CAPTION</source>
        <translation>说明</translation>
    </message>
    <message>
        <source>Unknown value name: %1. Did you mean: %2?</source>
        <translation>未知的数值名称：%1。您是不是要找：%2？</translation>
    </message>
    <message>
        <source>Unknown value name: %1. &quot;rq73tune-cli show FILE&quot; lists the names; word addresses run from 0 to %2.</source>
        <translation>未知的数值名称：%1。“rq73tune-cli show FILE”会列出所有名称；字地址的范围是 0 到 %2。</translation>
    </message>
    <message>
        <source>Usage: rq73tune-cli COMMAND [ARGUMENTS] [OPTIONS]

Commands:
  ports                    list the COM ports that can be opened, with their devices
  read FILE [--force]      read the radio into the data file FILE; a file already
                           there is replaced only with --force
  write FILE [--yes|--direct]
                           write the data file FILE into the radio: the radio is
                           read and kept as a backup first, the changes listed
                           and asked for, and the radio read back afterwards
  verify FILE              read the radio and compare it with FILE
  get NAME --file FILE     print a value of a data file
  get NAME --radio         read the radio and print a value
  set NAME VALUE [--file FILE] [--radio] [--tx SECONDS]
                           store a value in a data file and/or send it to the
                           radio at once, as the tune windows do
  diff FILE1 FILE2         list the values in which two data files differ
  show FILE [--json]       list every named value of a data file
  align PROCEDURE --meter ADDRESS [--no-write] [--save FILE] [--report FILE]
                           align the radio with a measuring instrument: read it,
                           run the steps of the procedure file, write the tune
                           data when every step passed (not with --no-write);
                           ADDRESS is tcp:HOST:PORT or serial:COMn[:BAUD], the
                           report is JSON, HTML or PDF by its extension

NAME is the name of a value (freq-adjust, usb.mid.high.power, sq.fm.3.on,
tx-time...; &quot;show&quot; lists them all) or a word address from 0 to 511.

Options:
  --com N          use COM port N instead of the stored one
  --retries N      when a block keeps failing, answer the question Retry N times,
                   then Cancel; without it the question is asked at a terminal
                   and answered Cancel when the input is not a terminal
  --tx SECONDS     transmit time of a value that keys the transmitter, 1 to 10;
                   without it the file&apos;s transmit time, or 6 seconds
  --json           show: JSON instead of a table
  --force          read: replace the data file FILE when it is already there
  --yes            write: answer the question before the write with yes
  --direct         write: write at once, without reading the radio first
  --help           this text
  --version        the version

Exit codes: 0 success, 1 wrong command line, 2 the radio does not answer (or read
would replace a file without --force),
3 a file rejected, 4 the port cannot be opened, 5 verify, diff or the read back
after a write found differences,
6 align: a step outside its limits, 7 align: the instrument failed.
</source>
        <translation>用法：rq73tune-cli 命令 [参数] [选项]

命令：
  ports                    列出当前可以打开的串口及其设备
  read FILE [--force]      从对讲机读取数据，存入数据文件 FILE；已有的文件
                           只有给出 --force 时才被替换
  write FILE [--yes|--direct]
                           把数据文件 FILE 写入对讲机：先读取对讲机并保存为备份，
                           列出将改变的值并询问，写入后再回读核对
  verify FILE              读取对讲机，并与 FILE 比较
  get NAME --file FILE     显示数据文件中的一个值
  get NAME --radio         读取对讲机并显示一个值
  set NAME VALUE [--file FILE] [--radio] [--tx SECONDS]
                           把一个值存入数据文件，和/或像调谐窗口一样
                           立即发送给对讲机
  diff FILE1 FILE2         列出两个数据文件中不同的值
  show FILE [--json]       列出数据文件中所有有名称的值
  align PROCEDURE --meter ADDRESS [--no-write] [--save FILE] [--report FILE]
                           用测量仪器校准对讲机：读取对讲机，执行校准流程
                           文件中的各个步骤，所有步骤合格后写入调谐数据
                           （--no-write 时不写入）；ADDRESS 为 tcp:HOST:PORT
                           或 serial:COMn[:BAUD]，报告按扩展名为 JSON、HTML 或 PDF

NAME 是值的名称（freq-adjust、usb.mid.high.power、sq.fm.3.on、
tx-time……；“show”会全部列出），或 0 到 511 的字地址。

选项：
  --com N          使用串口 N，而不是已保存的串口
  --retries N      数据块多次失败时，对提问回答“重试” N 次，然后“取消”；
                   不给此选项时，在终端上会提问，输入不是终端时回答“取消”
  --tx SECONDS     使发射机发射的值的发射时长，1 到 10 秒；
                   不给此选项时使用数据文件中的发射时长，否则为 6 秒
  --json           show：输出 JSON，而不是表格
  --force          read：数据文件 FILE 已存在时替换它
  --yes            write：对写入前的提问回答“是”
  --direct         write：立即写入，不先读取对讲机
  --help           本说明
  --version        版本

退出码：0 成功，1 命令行有误，2 对讲机无应答（或 read 未给 --force 却要替换文件），
3 文件被拒绝，
4 串口无法打开，5 verify、diff 或写入后的回读发现差异，
6 align：有步骤超出上下限，7 align：仪器故障。
</translation>
    </message>
</context>
<context>
    <name>DataFileMessage</name>
    <message>
        <source>Error</source>
        <translation>错误</translation>
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
    <name>DataFileText</name>
    <message>
        <source>The file &quot;%1&quot; does not exist.</source>
        <translation>文件“%1”不存在。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a folder, not a regular file.</source>
        <translation>“%1”是文件夹，不是普通文件。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a regular file: it is a pipe, a device or a socket.</source>
        <translation>“%1”不是普通文件：它是管道、设备或套接字。</translation>
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
        <source>Error file！</source>
        <translation>错误的文件！</translation>
    </message>
</context>
<context>
    <name>FormAutoAlign</name>
    <message>
        <source>&amp;Instrument:</source>
        <translation>仪器(&amp;I)：</translation>
    </message>
    <message>
        <source>&amp;Procedure:</source>
        <translation>校准流程(&amp;P)：</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>浏览(&amp;B)...</translation>
    </message>
    <message>
        <source>&amp;Write the tune data when every step passed</source>
        <translation>所有步骤合格后写入调谐数据(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>开始(&amp;S)</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>停止(&amp;T)</translation>
    </message>
    <message>
        <source>Save &amp;Report...</source>
        <translation>保存报告(&amp;R)...</translation>
    </message>
    <message>
        <source>Auto Align</source>
        <translation>自动校准</translation>
    </message>
    <message>
        <source>tcp:HOST:PORT for the instrument&apos;s SCPI socket, or serial:COMn[:BAUD] for a serial port (9600 baud unless given)</source>
        <translation>tcp:主机:端口 表示仪器的 SCPI 网络端口，serial:COMn[:波特率] 表示串口（未给出时为 9600 波特）</translation>
    </message>
    <message>
        <source>Instrument</source>
        <translation>仪器</translation>
    </message>
    <message>
        <source>Procedure</source>
        <translation>校准流程</translation>
    </message>
    <message>
        <source>Browse for a procedure</source>
        <translation>浏览校准流程文件</translation>
    </message>
    <message>
        <source>Write the tune data when every step passed</source>
        <translation>所有步骤合格后写入调谐数据</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>值</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>目标</translation>
    </message>
    <message>
        <source>Try</source>
        <translation>尝试</translation>
    </message>
    <message>
        <source>Value now</source>
        <translation>当前值</translation>
    </message>
    <message>
        <source>Reading</source>
        <translation>读数</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Steps</source>
        <translation>步骤</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Save Report</source>
        <translation>保存报告</translation>
    </message>
    <message>
        <source>Procedure files (*.json)</source>
        <translation>校准流程文件 (*.json)</translation>
    </message>
    <message>
        <source>The procedure %1 cannot be used.</source>
        <translation>无法使用校准流程 %1。</translation>
    </message>
    <message>
        <source>Nothing was sent to the radio.</source>
        <translation>没有向对讲机发送任何数据。</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>正在连接 %1……</translation>
    </message>
    <message>
        <source>the tune data were written to the radio.</source>
        <translation>调谐数据已写入对讲机。</translation>
    </message>
    <message>
        <source>The report could not be saved to %1.</source>
        <translation>无法将报告保存到 %1。</translation>
    </message>
    <message>
        <source>PDF report (*.pdf);;HTML report (*.html);;JSON report (*.json)</source>
        <translation>PDF 报告 (*.pdf);;HTML 报告 (*.html);;JSON 报告 (*.json)</translation>
    </message>
</context>
<context>
    <name>FormBackups</name>
    <message>
        <source>Before write</source>
        <translation>写入前</translation>
    </message>
    <message>
        <source>&amp;Backups, newest first:</source>
        <translation>备份（最新在前）(&amp;B)：</translation>
    </message>
    <message>
        <source>&amp;Keep at most:</source>
        <translation>最多保留(&amp;K)：</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>打开(&amp;O)</translation>
    </message>
    <message>
        <source>Show &amp;Folder</source>
        <translation>显示文件夹(&amp;F)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>备份</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Backup folder</source>
        <translation>备份文件夹</translation>
    </message>
    <message>
        <source>Keep at most</source>
        <translation>最多保留</translation>
    </message>
    <message>
        <source>The oldest backups are removed when a new one is saved.</source>
        <translation>保存新备份时删除最旧的备份。</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Show Folder</source>
        <translation>显示文件夹</translation>
    </message>
    <message>
        <source>Squelch read</source>
        <translation>静噪读取</translation>
    </message>
    <message>
        <source>Replaced file</source>
        <translation>被替换的文件</translation>
    </message>
    <message>
        <source>Full read</source>
        <translation>完整读取</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 字节</translation>
    </message>
    <message>
        <source>The backup folder could not be shown:
%1</source>
        <translation>无法显示备份文件夹：
%1</translation>
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
        <source>&amp;Refresh</source>
        <translation>刷新(&amp;R)</translation>
    </message>
    <message>
        <source>Refresh the list of ports</source>
        <translation>刷新端口列表</translation>
    </message>
    <message>
        <source>Device of the selected port</source>
        <translation>所选端口的设备</translation>
    </message>
    <message>
        <source>What the system reports about the selected port</source>
        <translation>系统提供的所选端口信息</translation>
    </message>
    <message>
        <source>Advice</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Command that grants access to serial ports</source>
        <translation>获取串口访问权限的命令</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>The system reports nothing more about this port.</source>
        <translation>系统没有提供此端口的更多信息。</translation>
    </message>
    <message>
        <source>Description: %1</source>
        <translation>描述：%1</translation>
    </message>
    <message>
        <source>Maker: %1</source>
        <translation>制造商：%1</translation>
    </message>
    <message>
        <source>USB vendor:product ID: %1</source>
        <translation>USB 厂商:产品 ID：%1</translation>
    </message>
</context>
<context>
    <name>FormCompare</name>
    <message>
        <source>&amp;Differing words:</source>
        <translation>不同的字(&amp;D)：</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation>导出(&amp;E)...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Differing words</source>
        <translation>不同的字</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>The list could not be saved to %1.</source>
        <translation>无法将列表保存到 %1。</translation>
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
        <source>Test</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>校准</translation>
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
    <message>
        <source>The table was not changed: its reference row holds 0, and scaling to 0 would lose every threshold of the column. Enter the reference row first.</source>
        <translation>表格未被修改：其参考行为 0，按 0 缩放会丢失该列的所有门限值。请先输入参考行。</translation>
    </message>
    <message>
        <source>Nothing was sent: both values of the reference row are 0, and the reference rows are never read from the radio. Enter the reference values first.</source>
        <translation>未发送任何数据：参考行的两个值都是 0，而参考行从不从对讲机读取。请先输入参考值。</translation>
    </message>
</context>
<context>
    <name>ImageCommands</name>
    <message>
        <source>Reading the Radio Before Writing</source>
        <translation>写入前读取对讲机</translation>
    </message>
    <message>
        <source>Nothing was written: the radio&apos;s data could not be kept in the backups folder (%1).</source>
        <translation>未写入任何数据：无法在备份文件夹中保留对讲机的数据（%1）。</translation>
    </message>
    <message>
        <source>The data in this program has not been read from a radio or loaded from a file since the program started or since New.</source>
        <translation>自程序启动或“新建”以来，本程序中的数据既未从对讲机读取，也未从文件载入。</translation>
    </message>
    <message>
        <source>The radio&apos;s data as it is now is kept in the backup %1.</source>
        <translation>对讲机当前的数据已保存在备份 %1 中。</translation>
    </message>
    <message>
        <source>The radio&apos;s data before the write is in the backup %1.</source>
        <translation>写入前对讲机的数据保存在备份 %1 中。</translation>
    </message>
    <message>
        <source>The write did not complete: the radio may hold part of the new data. Write it again before use.</source>
        <translation>写入未完成：对讲机中可能只有部分新数据。使用前请重新写入。</translation>
    </message>
    <message>
        <source>Written, but the read back did not complete, so the write is not checked. Use Verify Radio before relying on it.</source>
        <translation>已写入，但回读未完成，写入未经核对。使用前请先执行“校验对讲机”。</translation>
    </message>
    <message>
        <source>Written and checked: the radio holds every value of this write.</source>
        <translation>已写入并核对：对讲机含有本次写入的所有值。</translation>
    </message>
    <message numerus="yes">
        <source>Written, but the radio differs from the data in %n value(s).</source>
        <translation>
            <numerusform>已写入，但对讲机与数据有 %n 个值不同。</numerusform>
        </translation>
    </message>
    <message>
        <source>Replace %1 with the empty data of New?</source>
        <translation>用“新建”的空数据替换 %1？</translation>
    </message>
    <message>
        <source>Replace %1 with the data read from the radio?</source>
        <translation>用从对讲机读取的数据替换 %1？</translation>
    </message>
    <message>
        <source>Replace %1 with data that did not come from it?</source>
        <translation>用并非来自该文件的数据替换 %1？</translation>
    </message>
    <message>
        <source>A copy of %1 is kept in the backups folder first.</source>
        <translation>替换前会先在备份文件夹中保留 %1 的副本。</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>替换</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>另存为...</translation>
    </message>
    <message>
        <source>%1 was not replaced: its copy could not be kept in the backups folder (%2).</source>
        <translation>%1 未被替换：无法在备份文件夹中保留其副本（%2）。</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Do you want to cover current data?</source>
        <translation>覆盖当前数据？</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>The data in this program has not been read from a radio or loaded from a file since the program started or since New. Writing it replaces the radio&apos;s calibration with these values.

Write to the radio anyway?</source>
        <translation>程序中的数据自启动或新建以来既未从对讲机读出，也未从文件载入。写入会用这些数值替换对讲机的校准数据。

仍然写入对讲机吗？</translation>
    </message>
    <message>
        <source>Only the squelch table of this data has been read from a radio since the program started or since New; the rest was never read or loaded. Writing it replaces the radio&apos;s calibration with these values.

Write to the radio anyway?</source>
        <translation>程序中的数据自启动或新建以来只有静噪表是从对讲机读出的，其余数据从未读出或载入。写入会用这些数值替换对讲机的校准数据。

仍然写入对讲机吗？</translation>
    </message>
    <message>
        <source>Only the squelch table of this data has been read from a radio since the program started or since New; the rest was never read or loaded.</source>
        <translation>程序中的数据自启动或新建以来只有静噪表是从对讲机读出的，其余数据从未读出或载入。</translation>
    </message>
    <message>
        <source>Identical: the radio holds every word of the current image.</source>
        <translation>相同：对讲机中的每个字都与当前数据一致。</translation>
    </message>
    <message>
        <source>Words that differ between the current image and the radio: %1 (current → radio).</source>
        <translation>当前数据与对讲机不同的字：%1 个（当前 → 对讲机）。</translation>
    </message>
    <message>
        <source>Verify Radio</source>
        <translation>校验对讲机</translation>
    </message>
    <message>
        <source>Compare With File</source>
        <translation>与文件比较</translation>
    </message>
    <message>
        <source>Identical: the current image and %1 hold the same words.</source>
        <translation>相同：当前数据与 %1 的每个字都一致。</translation>
    </message>
    <message>
        <source>Words that differ between the current image and %1: %2 (current → file).</source>
        <translation>当前数据与 %1 不同的字：%2 个（当前 → 文件）。</translation>
    </message>
    <message>
        <source>The data has changed since it was last opened, saved or read from the radio.

Do you want to save the changes?</source>
        <translation>数据在上次打开、保存或从对讲机读取后已被修改。

是否保存修改？</translation>
    </message>
</context>
<context>
    <name>ImageCompare</name>
    <message>
        <source>%1 level %2 %3</source>
        <extracomment>A row of the squelch tune window: table name, level number, column caption (&quot;SQ level 6 SQ Off&quot;)</extracomment>
        <translation>%1 等级 %2 %3</translation>
    </message>
    <message>
        <source>%1 %2 %3</source>
        <extracomment>A reference row of the squelch tune window: table name, &quot;reference&quot;, column caption</extracomment>
        <translation>%1 %2 %3</translation>
    </message>
    <message>
        <source>%1: %2 → %3</source>
        <extracomment>A differing word: its name, the value before, the value after</extracomment>
        <translation>%1：%2 → %3</translation>
    </message>
    <message>
        <source>Word %1: %2 → %3</source>
        <extracomment>A differing word no window shows: its address, the value before, the value after</extracomment>
        <translation>字 %1：%2 → %3</translation>
    </message>
</context>
<context>
    <name>Instrument</name>
    <message>
        <source>&quot;%1&quot;: give the instrument as tcp:HOST:PORT, for example tcp:192.168.1.20:5025.</source>
        <translation>“%1”：请以 tcp:主机:端口 的形式给出仪器，例如 tcp:192.168.1.20:5025。</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: the speed after the port must be a baud rate, for example serial:COM3:9600.</source>
        <translation>“%1”：端口后面的速率必须是波特率，例如 serial:COM3:9600。</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: no device is known for this port.</source>
        <translation>“%1”：此端口没有对应的设备。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an instrument address: use tcp:HOST:PORT or serial:COMn[:BAUD].</source>
        <translation>“%1”不是仪器地址：请使用 tcp:主机:端口 或 serial:COMn[:波特率]。</translation>
    </message>
    <message>
        <source>The instrument cannot be reached.</source>
        <translation>无法连接仪器。</translation>
    </message>
    <message>
        <source>The instrument did not reply.</source>
        <translation>仪器没有应答。</translation>
    </message>
    <message>
        <source>The instrument&apos;s reply is not a reading.</source>
        <translation>仪器的应答不是读数。</translation>
    </message>
    <message>
        <source>The connection to the instrument was lost.</source>
        <translation>与仪器的连接已断开。</translation>
    </message>
</context>
<context>
    <name>LinkAlignRadio</name>
    <message>
        <source>The radio did not answer; the read was given up.</source>
        <translation>对讲机无应答；已放弃读取。</translation>
    </message>
    <message>
        <source>The radio did not answer; the write was given up. The radio may hold part of the new data: write it again before use.</source>
        <translation>对讲机无应答；已放弃写入。对讲机中可能只有部分新数据：使用前请重新写入。</translation>
    </message>
    <message>
        <source>No backup could be written: %1</source>
        <translation>无法写入备份：%1</translation>
    </message>
    <message>
        <source>The frame did not leave the port %1.</source>
        <translation>数据帧没有从端口 %1 发出。</translation>
    </message>
</context>
<context>
    <name>LiveStatusPanel</name>
    <message>
        <source>the port is missing</source>
        <translation>串口不存在</translation>
    </message>
    <message>
        <source>the port is in use by another program</source>
        <translation>串口被其他程序占用</translation>
    </message>
    <message>
        <source>the port refused access</source>
        <translation>串口拒绝访问</translation>
    </message>
    <message>
        <source>the line never drained</source>
        <translation>数据一直未能发出</translation>
    </message>
    <message>
        <source>Word %1</source>
        <translation>字 %1</translation>
    </message>
    <message>
        <source>Live link</source>
        <translation>实时链路</translation>
    </message>
    <message>
        <source>%1 = %2</source>
        <translation>%1 = %2</translation>
    </message>
    <message>
        <source>Not sent: %1 — %2</source>
        <translation>未发送：%1 — %2</translation>
    </message>
    <message>
        <source>Sent: %1</source>
        <translation>已发送：%1</translation>
    </message>
    <message>
        <source>TX %1 s</source>
        <translation>发射 %1 秒</translation>
    </message>
</context>
<context>
    <name>MDIFormMain</name>
    <message>
        <source>RQ73 Tune[FileName:%1]</source>
        <translation>RQ73 Tune[文件名:%1]</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>&amp;Back Up and Preview Before Writing</source>
        <translation>写入前备份并预览(&amp;B)</translation>
    </message>
    <message>
        <source>&amp;Stop Transmitting</source>
        <translation>停止发射(&amp;S)</translation>
    </message>
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
        <source>&amp;Compare With File</source>
        <translation>与文件比较(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Backups</source>
        <translation>备份(&amp;B)</translation>
    </message>
    <message>
        <source>&amp;Recent Files</source>
        <translation>最近的文件(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>退出(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
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
        <source>&amp;Verify Radio</source>
        <translation>校验对讲机(&amp;V)</translation>
    </message>
    <message>
        <source>Resend &amp;Unsent Values</source>
        <translation>重发未发送的值(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Auto Align...</source>
        <translation>自动校准(&amp;A)...</translation>
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
        <source>&amp;Contents</source>
        <translation>目录(&amp;C)</translation>
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
</context>
<context>
    <name>MainStatusBar</name>
    <message>
        <source>Stop TX</source>
        <translation>停止发射</translation>
    </message>
    <message>
        <source>Stop Transmitting</source>
        <translation>停止发射</translation>
    </message>
    <message>
        <source>COM%1</source>
        <translation>通信端口%1</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>已修改</translation>
    </message>
    <message>
        <source>Backup saved: %1</source>
        <translation>已保存备份：%1</translation>
    </message>
    <message>
        <source>Backup not saved: %1</source>
        <translation>备份未保存：%1</translation>
    </message>
    <message>
        <source>File not found, removed from Recent Files: %1</source>
        <translation>找不到文件，已从最近的文件中移除：%1</translation>
    </message>
    <message>
        <source>Incomplete read</source>
        <translation>读取未完成</translation>
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
    <message>
        <source>COM%1 has no device; choose another COM port</source>
        <translation>COM%1 没有对应的设备；请选择其他串口</translation>
    </message>
</context>
<context>
    <name>PortProbe</name>
    <message>
        <source>No port can be opened now. Check that the programming cable is plugged in.</source>
        <translation>当前没有可以打开的端口。请检查写频线是否插好。</translation>
    </message>
    <message>
        <source>Some ports refused access. On Linux, add your user to the dialout group with this command, then log out and in again:</source>
        <translation>部分端口拒绝访问。在 Linux 上，请用下面的命令把用户加入 dialout 组，然后注销并重新登录：</translation>
    </message>
</context>
<context>
    <name>SaveLogButton</name>
    <message>
        <source>Save Log</source>
        <translation>保存日志</translation>
    </message>
    <message>
        <source>The log could not be saved to %1.</source>
        <translation>无法将日志保存到 %1。</translation>
    </message>
    <message>
        <source>Text file(*.txt)</source>
        <translation>文本文件(*.txt)</translation>
    </message>
</context>
<context>
    <name>SessionAlignRadio</name>
    <message>
        <source>The frame did not leave the port %1.</source>
        <translation>数据帧没有从端口 %1 发出。</translation>
    </message>
    <message>
        <source>The radio did not answer; the read was given up.</source>
        <translation>对讲机无应答；已放弃读取。</translation>
    </message>
    <message>
        <source>The radio did not answer; the write was given up. The radio may hold part of the new data: write it again before use.</source>
        <translation>对讲机无应答；已放弃写入。对讲机中可能只有部分新数据：使用前请重新写入。</translation>
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
    <name>SquelchTable</name>
    <message>
        <source>SQ On</source>
        <translation>SQ开启</translation>
    </message>
    <message>
        <source>SQ Off</source>
        <translation>SQ关闭</translation>
    </message>
    <message>
        <source>ASQ On</source>
        <translation>ASQ开启</translation>
    </message>
    <message>
        <source>ASQ Off</source>
        <translation>ASQ关闭</translation>
    </message>
    <message>
        <source>reference</source>
        <translation>参考</translation>
    </message>
</context>
<context>
    <name>TcpInstrument</name>
    <message>
        <source>The instrument closed the connection.</source>
        <translation>仪器关闭了连接。</translation>
    </message>
    <message>
        <source>No connection within the time-out.</source>
        <translation>超时仍未建立连接。</translation>
    </message>
</context>
<context>
    <name>TransferRun</name>
    <message>
        <source>The radio did not answer; the transfer was given up.</source>
        <translation>对讲机无应答；传输已放弃。</translation>
    </message>
    <message>
        <source>The radio may hold part of the new data: write it again before use.</source>
        <translation>对讲机中可能只有部分新数据：使用前请重新写入。</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>重试</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>[r = retry, c = cancel]</source>
        <translation>[r = 重试，c = 取消]</translation>
    </message>
</context>
<context>
    <name>TransferTexts</name>
    <message>
        <source>Read Data From Radio</source>
        <translation>从对讲机读取数据</translation>
    </message>
    <message>
        <source>Write Data To Radio</source>
        <translation>向对讲机写入数据</translation>
    </message>
    <message>
        <source>Verify Radio</source>
        <translation>校验对讲机</translation>
    </message>
    <message>
        <source>Complete:</source>
        <translation>完成进度:</translation>
    </message>
    <message>
        <source>Read Data OK</source>
        <translation>读频成功</translation>
    </message>
    <message>
        <source>Write Data OK</source>
        <translation>写频成功</translation>
    </message>
    <message>
        <source>Check connection!Retry or cancel?</source>
        <translation>检测连接！重试或取消？</translation>
    </message>
    <message>
        <source>Please reselect COM port!</source>
        <translation>请重新选择端口！</translation>
    </message>
</context>
<context>
    <name>TreePane</name>
    <message>
        <source>RQ73 Tune</source>
        <translation>RQ73电调</translation>
    </message>
    <message>
        <source>Tune Data</source>
        <translation>调制数据</translation>
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
    <message>
        <source>Revert to %1</source>
        <translation>恢复为 %1</translation>
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
    <message>
        <source>Tx Time(S)</source>
        <translation>发射时长(秒)</translation>
    </message>
</context>
<context>
    <name>ValueMarks</name>
    <message>
        <source>was %1</source>
        <translation>原值 %1</translation>
    </message>
    <message>
        <source>Not sent to the radio</source>
        <translation>未发送到对讲机</translation>
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
<context>
    <name>FormWritePreview</name>
    <message>
        <source>&amp;Values that will change (radio → new):</source>
        <translation>将要改变的值（对讲机 → 新值）(&amp;V)：</translation>
    </message>
    <message>
        <source>&amp;Write</source>
        <translation>写入(&amp;W)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Write To Radio</source>
        <translation>写入对讲机</translation>
    </message>
    <message>
        <source>Values that will change</source>
        <translation>将要改变的值</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>%1   [keys the transmitter]</source>
        <translation>%1   [使发射机发射]</translation>
    </message>
    <message>
        <source>The radio already holds every value of this write.</source>
        <translation>对讲机已含有本次写入的所有值。</translation>
    </message>
    <message numerus="yes">
        <source>The write changes %n value(s) in the radio.</source>
        <translation>
            <numerusform>本次写入将改变对讲机中的 %n 个值。</numerusform>
        </translation>
    </message>
</context>
</TS>
