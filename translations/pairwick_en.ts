<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>DefaultOperation</name>
    <message>
        <source>本操作将把蓝牙模块的参数恢复成出厂默认设置，继续吗？</source>
        <translation>This will restore the adapter&apos;s factory settings. Continue?</translation>
    </message>
    <message>
        <source>准备</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>正在恢复出厂默认设置......</source>
        <translation>Restoring factory settings......</translation>
    </message>
    <message>
        <source>恢复出厂默认设置时失败，是否继续？</source>
        <translation>Restoring factory settings failed. Continue?</translation>
    </message>
    <message>
        <source>恢复出厂默认设置时失败！</source>
        <translation>Restoring factory settings failed!</translation>
    </message>
    <message>
        <source>蓝牙模块参数已恢复成出厂默认设置，并将重新读取蓝牙模块的参数......</source>
        <translation>Factory settings restored; reading the adapter&apos;s settings again......</translation>
    </message>
    <message>
        <source>蓝牙模块参数已恢复成出厂默认设置！</source>
        <translation>Factory settings restored!</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Tarnholt蓝牙串口设置工具  Ver 1.2</source>
        <translation>Tarnholt Bluetooth Serial Setup Tool  Ver 1.2</translation>
    </message>
    <message>
        <source>连接参数</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>通讯口：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>连接状态</source>
        <translation>Connection status</translation>
    </message>
    <message>
        <source>串口已关闭！</source>
        <translation>Port closed!</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>基本设置</source>
        <translation>Basic settings</translation>
    </message>
    <message>
        <source>设备名称：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>固件版本号：</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Baud:</translation>
    </message>
    <message>
        <source>校验位：</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>停止位：</source>
        <translation>Stop:</translation>
    </message>
    <message>
        <source>主设备</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>从设备</source>
        <translation>Slave</translation>
    </message>
    <message>
        <source>串口提示信息</source>
        <translation>Prompts</translation>
    </message>
    <message>
        <source>PIN码：</source>
        <translation>PIN:</translation>
    </message>
    <message>
        <source>绑定设置</source>
        <translation>Binding</translation>
    </message>
    <message>
        <source>本地蓝牙地址：</source>
        <translation>Local address:</translation>
    </message>
    <message>
        <source>绑定从端地址：</source>
        <translation>Bound slave:</translation>
    </message>
    <message>
        <source>查询</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>默认</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
</context>
<context>
    <name>ParameterReader</name>
    <message>
        <source>正在读取蓝牙参数......</source>
        <translation>Reading settings......</translation>
    </message>
    <message>
        <source>参数读取结束！</source>
        <translation>Settings read!</translation>
    </message>
    <message>
        <source>UART波特率错误！</source>
        <translation>Invalid UART baud rate!</translation>
    </message>
    <message>
        <source>UART校验位错误！</source>
        <translation>Invalid UART parity!</translation>
    </message>
    <message>
        <source>UART停止位错误！</source>
        <translation>Invalid UART stop bits!</translation>
    </message>
    <message>
        <source>主从角色错误！</source>
        <translation>Invalid role!</translation>
    </message>
    <message>
        <source>串口提示信息错误！</source>
        <translation>Invalid prompt setting!</translation>
    </message>
</context>
<context>
    <name>SaveOperation</name>
    <message>
        <source>确认保存设置吗？</source>
        <translation>Save the settings?</translation>
    </message>
    <message>
        <source>准备</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>正在保存设置......</source>
        <translation>Saving settings......</translation>
    </message>
    <message>
        <source>参数保存结束！</source>
        <translation>Settings saved!</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>Pairwick 标志</source>
        <translation>Pairwick logo</translation>
    </message>
    <message>
        <source>Pairwick 图标</source>
        <translation>Pairwick icon</translation>
    </message>
    <message>
        <source>蓝牙串口适配器参数设置软件 Pairwick Ver 1.2</source>
        <translation>Bluetooth adapter setup, Pairwick Ver 1.2</translation>
    </message>
    <message>
        <source>Tarnholt 电子科技有限公司 出品</source>
        <translation>Made by Tarnholt Electronics Co., Ltd.</translation>
    </message>
    <message>
        <source>软件的使用及蓝牙串口适配器产品请访问Tarnholt官方网站：</source>
        <translation>For help and for our adapters, visit Tarnholt&apos;s website:</translation>
    </message>
    <message>
        <source>本软件受著作权法及国际公约保护。未经许可擅自复制或传播本软件或其任何部分，将在法律允许的最大范围内受到追诉。</source>
        <translation>Protected by copyright law and international treaties. Unauthorized copying or distribution will be prosecuted.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>pairwick::about</name>
    <message>
        <source>Pairwick</source>
        <extracomment>The program&apos;s name. A language that writes names in its own script may spell it so.</extracomment>
        <translation>Pairwick</translation>
    </message>
</context>
<context>
    <name>pairwick::about::frmAbout</name>
    <message>
        <source>关于 %1</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>网址 %1</source>
        <translation>Web address %1</translation>
    </message>
    <message>
        <source>在网页浏览器中打开</source>
        <translation>Opens in the web browser</translation>
    </message>
</context>
<context>
    <name>pairwick::feedback::QtMessageBoxes</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>pairwick::labels</name>
    <message>
        <source>内存不足，无法生成条码</source>
        <translation>out of memory for the code</translation>
    </message>
    <message>
        <source>字段 &quot;{%1}&quot;：宽度须为 1 到 %2 的数</source>
        <translation>field &quot;{%1}&quot;: the width must be a number from 1 to %2</translation>
    </message>
    <message>
        <source>第 %2 个字符处有单独的 &quot;%1&quot;；花括号本身请写 &quot;%1%1&quot;</source>
        <translation>a lone &quot;%1&quot; at character %2; write &quot;%1%1&quot; for a brace</translation>
    </message>
    <message>
        <source>%1：第 %2 行不是 UTF-8</source>
        <translation>%1: line %2 is not UTF-8</translation>
    </message>
    <message>
        <source>%1：标签模板须是 .zpl（标签打印机）或 .svg（其他打印机）文件</source>
        <translation>%1: a label template is a .zpl file (label printers) or an .svg file (any other printer)</translation>
    </message>
    <message>
        <source>以最长的示例值：%1</source>
        <translation>with made-up values of the longest lengths: %1</translation>
    </message>
    <message>
        <source>第 %1 行：%2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>属性 %1：%2</source>
        <translation>attribute %1: %2</translation>
    </message>
    <message>
        <source>第 %1 行：不是 XML：%2</source>
        <translation>line %1: not XML: %2</translation>
    </message>
    <message>
        <source>不是 SVG：根元素是 &lt;%1&gt;</source>
        <translation>not SVG: the root element is &lt;%1&gt;</translation>
    </message>
    <message>
        <source>页面大小须以 mm 写在 &lt;svg&gt; 的 width 和 height 里（至多 %1 mm），如 width=&quot;50mm&quot;</source>
        <translation>the page size belongs in the width and height of &lt;svg&gt;, in mm (at most %1 mm), such as width=&quot;50mm&quot;</translation>
    </message>
    <message>
        <source>第二个 id 为 &quot;%1&quot; 的元素</source>
        <translation>a second element of id &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 元素没有框：须有数值的 width 和 height（及 x、y）</source>
        <translation>the &quot;%1&quot; element has no box: it needs a width and a height as numbers (and x, y)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 元素没有 data-value，码里没有内容</source>
        <translation>the &quot;%1&quot; element has no data-value, nothing for its code to hold</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 的码无法生成：%2</source>
        <translation>the code of &quot;%1&quot; cannot be made: %2</translation>
    </message>
    <message>
        <source>Qt 无法绘制这个 SVG</source>
        <translation>Qt cannot draw this SVG</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 的框对它的 %2 个字节太小：模块只有 %3 mm，至少须 %4 mm</source>
        <translation>the box of &quot;%1&quot; is too small for its %2 bytes: its modules would be %3 mm, and need at least %4 mm</translation>
    </message>
    <message>
        <source>^XA 之前有文字；模板须是一个标签，^XA … ^XZ</source>
        <translation>text before ^XA; a template is one label, ^XA … ^XZ</translation>
    </message>
    <message>
        <source>第 %1 行 %2：%3</source>
        <translation>line %1, %2: %3</translation>
    </message>
    <message>
        <source>模板须以 ^XA 开始，是一个标签，^XA … ^XZ</source>
        <translation>a template starts with ^XA and is one label, ^XA … ^XZ</translation>
    </message>
    <message>
        <source>模板须是一个标签，这里又开始了一个</source>
        <translation>a template is one label, and another starts here</translation>
    </message>
    <message>
        <source>模板须是一个标签，^XZ 之后还有命令</source>
        <translation>a template is one label, and commands follow its ^XZ</translation>
    </message>
    <message>
        <source>模板没有以 ^XZ 结束</source>
        <translation>the template does not end with ^XZ</translation>
    </message>
    <message>
        <source>^XZ 之后还有文字</source>
        <translation>text after ^XZ</translation>
    </message>
    <message>
        <source>模板不可更改 ZPL 的命令字符</source>
        <translation>a template may not change the command characters of ZPL</translation>
    </message>
    <message>
        <source>字段的值是 UTF-8，须用 ^CI28 或不写 ^CI</source>
        <translation>the fields&apos; values are UTF-8: use ^CI28 or no ^CI at all</translation>
    </message>
    <message>
        <source>^FH 的指示符须是一个标点符号，不是 ^ ~ { } 或逗号</source>
        <translation>the indicator of ^FH must be one punctuation mark, not ^ ~ { } or a comma</translation>
    </message>
    <message>
        <source>字段只能写在字段数据（^FD、^FV）里</source>
        <translation>fields belong in field data (^FD, ^FV) only</translation>
    </message>
    <message>
        <source>%1：这个模板的预览须写成 %2 文件</source>
        <translation>%1: this template previews as a %2 file</translation>
    </message>
    <message>
        <source>第 %1 行：元素嵌套超过 %2 层，不像一幅图</source>
        <translation>line %1: elements nest deeper than %2 levels; not a drawing</translation>
    </message>
    <message>
        <source>未知字段 &quot;{%1}&quot;；可用的字段有 {name}、{pin}、{address}、{address:plain}、{seq}、{seq:N}、{batch}、{station}、{slot}、{operator}、{date}，{{ 和 }} 表示花括号本身</source>
        <translation>unknown field &quot;{%1}&quot;; the fields are {name}, {pin}, {address}, {address:plain}, {seq}, {seq:N}, {batch}, {station}, {slot}, {operator}, {date}, and {{ and }} for a brace</translation>
    </message>
</context>
<context>
    <name>pairwick::ledger</name>
    <message>
        <source>没有批次 %1</source>
        <translation>no batch %1</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>opening</translation>
    </message>
    <message>
        <source>加入批次 %1</source>
        <translation>joining batch %1</translation>
    </message>
    <message>
        <source>读取批次 %1 的规则</source>
        <translation>reading the rules of batch %1</translation>
    </message>
    <message>
        <source>在批次 %2 中开始对 %1 的尝试</source>
        <translation>beginning an attempt at %1 in batch %2</translation>
    </message>
    <message>
        <source>结束尝试 %1</source>
        <translation>finishing attempt %1</translation>
    </message>
    <message>
        <source>记录尝试 %1 的通过后命令状态</source>
        <translation>recording the on-pass status of attempt %1</translation>
    </message>
    <message>
        <source>关闭 %1 未结束的尝试</source>
        <translation>closing the open attempts of %1</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1：%2</source>
        <translation>cannot create the folder %1: %2</translation>
    </message>
    <message>
        <source>无法打开位于 %1 的台账：本系统缺少 Qt 的 %2 驱动</source>
        <translation>cannot open the ledger at %1: this system lacks Qt&apos;s %2 driver</translation>
    </message>
    <message>
        <source>无法打开位于 %1 的台账：%2</source>
        <translation>cannot open the ledger at %1: %2</translation>
    </message>
    <message>
        <source>没有台账文件 %1</source>
        <translation>there is no ledger file %1</translation>
    </message>
    <message>
        <source>无法创建 %1：%2</source>
        <translation>cannot create %1: %2</translation>
    </message>
    <message>
        <source>%1：%2失败：%3</source>
        <translation>%1: %2 failed: %3</translation>
    </message>
    <message>
        <source>台账 URL 不带密码；请把密码放在 ~/.pgpass（或 $PGPASSFILE 指明的文件）里，libpq 会在那里找到它</source>
        <translation>a ledger URL carries no password; put it in ~/.pgpass (or the file $PGPASSFILE names), where libpq finds it</translation>
    </message>
    <message>
        <source>“%1”没有指明文件；请写 sqlite:PATH</source>
        <translation>&apos;%1&apos; names no file; write sqlite:PATH</translation>
    </message>
    <message>
        <source>统计批次 %1 的模块</source>
        <translation>counting the units of batch %1</translation>
    </message>
    <message>
        <source>列出批次</source>
        <translation>listing the batches</translation>
    </message>
    <message>
        <source>列出模块</source>
        <translation>listing the units</translation>
    </message>
    <message>
        <source>检查台账</source>
        <translation>checking the ledger</translation>
    </message>
    <message>
        <source>列出尝试</source>
        <translation>listing the attempts</translation>
    </message>
    <message>
        <source>位于 %1 的台账还没有表，而这个登录不能创建它们：台账的所有者须先以自己的身份打开它一次（pairwick-cli ledger check），再授予角色（pairwick-cli ledger roles --apply）</source>
        <translation>the ledger at %1 has no tables yet, and this login may not make them: the ledger&apos;s owner opens it once first, under its own login (pairwick-cli ledger check), then grants the roles (pairwick-cli ledger roles --apply)</translation>
    </message>
    <message>
        <source>位于 %1 的台账的结构版本是 %2，本 pairwick 需要版本 %3，而只有台账的所有者能更新它：所有者须以自己的身份用本 pairwick 打开它一次（pairwick-cli ledger check）</source>
        <translation>the ledger at %1 has schema version %2 and this pairwick needs version %3, which only the ledger&apos;s owner may bring it to: the owner opens it once with this pairwick, under its own login (pairwick-cli ledger check)</translation>
    </message>
    <message>
        <source>授予角色</source>
        <translation>granting the roles</translation>
    </message>
    <message>
        <source>只有台账的所有者能授予它的角色，而这个登录不是它的所有者</source>
        <translation>only the ledger&apos;s owner grants its roles, and this login does not own it</translation>
    </message>
    <message>
        <source>位于 %1 的台账的结构版本是 %2；本 pairwick 最多认识版本 %3</source>
        <translation>the ledger at %1 has schema version %2; this pairwick knows up to %3</translation>
    </message>
    <message>
        <source>数据库没有给出原因</source>
        <translation>the database gave no reason</translation>
    </message>
    <message>
        <source>没有值</source>
        <translation>no values</translation>
    </message>
    <message>
        <source>给出了两次 %1 或根本没有给出</source>
        <translation>names its %1 twice or not at all</translation>
    </message>
    <message>
        <source>port=%1 不是端口号</source>
        <translation>port=%1 is no port number</translation>
    </message>
    <message>
        <source>未知参数“%1”；可用的参数是 %2</source>
        <translation>unknown parameter &apos;%1&apos;; those taken are %2</translation>
    </message>
    <message>
        <source>%1 没有值</source>
        <translation>%1 has no value</translation>
    </message>
    <message>
        <source>%1 中的“;”无法传给 libpq</source>
        <translation>the &apos;;&apos; in %1 cannot be passed on to libpq</translation>
    </message>
    <message>
        <source>给出了两次 %1</source>
        <translation>gives %1 twice</translation>
    </message>
    <message>
        <source>请写 postgresql://[user@][host][:port][,host[:port]...]/DATABASE[?parameter=value&amp;...]</source>
        <translation>write postgresql://[user@][host][:port][,host[:port]...]/DATABASE[?parameter=value&amp;...]</translation>
    </message>
    <message>
        <source>“%1”不是有效的 URL：其中有空白</source>
        <translation>&apos;%1&apos; is not a valid URL: it holds a blank</translation>
    </message>
    <message>
        <source>“%1”：无法读出主机“%2”；%3</source>
        <translation>&apos;%1&apos;: cannot read the hosts &apos;%2&apos;; %3</translation>
    </message>
    <message>
        <source>“%1”没有指明数据库；%2</source>
        <translation>&apos;%1&apos; names no database; %2</translation>
    </message>
    <message>
        <source>“%1”：%2</source>
        <translation>&apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>“%1”不是台账 URL；请写 sqlite:PATH 或 postgresql://[user@][host][:port][,...]/DATABASE[?...]</source>
        <translation>&apos;%1&apos; is no ledger URL; write sqlite:PATH or postgresql://[user@][host][:port][,...]/DATABASE[?...]</translation>
    </message>
    <message>
        <source>与数据库的连接没有打开</source>
        <translation>the connection is not open</translation>
    </message>
    <message>
        <source>语句中没有值 %1</source>
        <translation>the statement has no value %1</translation>
    </message>
    <message>
        <source>批次 %2 中没有模块 %1</source>
        <translation>no unit %1 in batch %2</translation>
    </message>
    <message>
        <source>读取良率</source>
        <translation>reading the yield</translation>
    </message>
    <message>
        <source>记录批次 %1 第 %2 号的标签</source>
        <translation>recording the label of unit %2 of batch %1</translation>
    </message>
    <message>
        <source>列出标签</source>
        <translation>listing the labels</translation>
    </message>
    <message>
        <source>正在等待另一个工位更新台账的结构……（已等 %1 秒）</source>
        <translation>Waiting for another station&apos;s migration of the ledger… (%1 s so far)</translation>
    </message>
    <message>
        <source>正在把台账的结构从版本 %1 更新到 %2；更新完成前其他工位须等待，中断则台账保持原样</source>
        <translation>Migrating the ledger from schema %1 to %2; other stations wait until it is done, and an interruption leaves the ledger as it was</translation>
    </message>
    <message>
        <source>正在更新台账的结构：%1 / %2 个模块（%3%）</source>
        <translation>Migrating the ledger: %1 of %2 units (%3%)</translation>
    </message>
    <message>
        <source>台账的结构已更新到版本 %1（%2 秒）</source>
        <translation>The ledger is migrated to schema %1 (%2 s)</translation>
    </message>
</context>
<context>
    <name>pairwick::link::CommPort</name>
    <message>
        <source>串口未打开</source>
        <translation>Serial port not open</translation>
    </message>
</context>
<context>
    <name>pairwick::link::OpenFailure</name>
    <message>
        <source>没有权限打开串口 %1。
请把当前用户加入拥有该设备的用户组 %2：sudo usermod -aG %2 $USER，然后注销并重新登录。</source>
        <translation>No permission to open the serial port %1.
Add the current user to the group %2 that owns the device: sudo usermod -aG %2 $USER, then log out and in again.</translation>
    </message>
    <message>
        <source>串口 %1 正被其他程序（进程 %2）使用，锁文件为 %3。
请先关闭那个程序，再点击“连接”。</source>
        <translation>The serial port %1 is in use by another program (process %2); its lock file is %3.
Close that program first, then connect again.</translation>
    </message>
    <message>
        <source>串口 %1 被锁文件 %2 锁定，而创建它的程序已经不在运行；当前用户无法删除它（可能是以 sudo 运行时留下的）。
请删除该文件：sudo rm %2</source>
        <translation>The serial port %1 is locked by the lock file %2, whose program no longer runs; the current user cannot remove it (it may be left from a run with sudo).
Remove the file: sudo rm %2</translation>
    </message>
    <message>
        <source>串口 %1 正被其他程序独占使用。
请先关闭那个程序，再点击“连接”。</source>
        <translation>The serial port %1 is held exclusively by another program.
Close that program first, then connect again.</translation>
    </message>
</context>
<context>
    <name>pairwick::link::PortError</name>
    <message>
        <source>串口设备 %1 已断开或停止响应。</source>
        <translation>The serial device %1 was disconnected or stopped responding.</translation>
    </message>
</context>
<context>
    <name>pairwick::parameters</name>
    <message>
        <source>请先点击“连接”按钮！</source>
        <translation>Please click &quot;Connect&quot; first!</translation>
    </message>
</context>
<context>
    <name>pairwick::printing</name>
    <message>
        <source>%1 在 %2 秒内没有结束</source>
        <translation>%1 did not end within %2 s</translation>
    </message>
    <message>
        <source>无法运行 lpstat：请安装 cups-client</source>
        <translation>cannot run lpstat: install cups-client</translation>
    </message>
    <message>
        <source>CUPS 没有队列 %1</source>
        <translation>CUPS has no queue %1</translation>
    </message>
    <message>
        <source>CUPS 队列 %1：%2</source>
        <translation>CUPS queue %1: %2</translation>
    </message>
    <message>
        <source>CUPS 队列 %1 已停用：%2</source>
        <translation>CUPS queue %1 is disabled: %2</translation>
    </message>
    <message>
        <source>CUPS 队列 %1 的打印机报告 %2</source>
        <translation>the printer of CUPS queue %1 reports %2</translation>
    </message>
    <message>
        <source>CUPS 队列 %1 不接受作业：%2</source>
        <translation>CUPS queue %1 is not accepting jobs: %2</translation>
    </message>
    <message>
        <source>无法运行 lp：请安装 cups-bsd 或 cups-client</source>
        <translation>cannot run lp: install cups-bsd or cups-client</translation>
    </message>
    <message>
        <source>CUPS 队列 %1 没有接受标签：%2</source>
        <translation>CUPS queue %1 did not take the label: %2</translation>
    </message>
    <message>
        <source>打印机 %1</source>
        <translation>printer %1</translation>
    </message>
    <message>
        <source>%1 在标签发送途中出错：%2</source>
        <translation>%1 failed while the label was sent: %2</translation>
    </message>
    <message>
        <source>批次 %1 第 %2 号的标签无法生成：%3</source>
        <translation>the label of unit %2 of batch %1 cannot be made: %3</translation>
    </message>
    <message>
        <source>%1：无法创建标签队列的文件夹</source>
        <translation>%1: cannot create the folder of the label queue</translation>
    </message>
    <message>
        <source>%1：不是本工位写的标签；请把它移走</source>
        <translation>%1: not a label this station wrote; move it away</translation>
    </message>
    <message>
        <source>打印机 %1：%2 不是文件夹</source>
        <translation>printer %1: %2 is not a folder</translation>
    </message>
    <message>
        <source>打印机 %1：不能写入文件夹 %2</source>
        <translation>printer %1: cannot write to the folder %2</translation>
    </message>
    <message>
        <source>%1 不接受连接：%2</source>
        <translation>%1 takes no connection: %2</translation>
    </message>
    <message>
        <source>%1 在标签发送途中断开：%2</source>
        <translation>%1 went away while the label was sent: %2</translation>
    </message>
    <message>
        <source>%1 回答了 %2 字节，标签打印机不会这样：这个端口不是标签打印机的？</source>
        <translation>%1 answered %2 bytes, which a label printer never does: is this port a label printer&apos;s?</translation>
    </message>
    <message>
        <source>有打印机时须给出标签模板</source>
        <translation>a printer needs a label template</translation>
    </message>
    <message>
        <source>有标签模板时须给出打印机</source>
        <translation>a label template needs a printer</translation>
    </message>
</context>
<context>
    <name>pairwick::printing::PrinterDestination</name>
    <message>
        <source>打印机 %1：tcp: 须写成 tcp:主机:端口（如 tcp:192.0.2.7:9100）</source>
        <translation>printer %1: write tcp:HOST:PORT (such as tcp:192.0.2.7:9100)</translation>
    </message>
    <message>
        <source>打印机 %1：%2: 后须有名字</source>
        <translation>printer %1: a name follows %2:</translation>
    </message>
    <message>
        <source>打印机 %1：CUPS 队列名不能含有空格、/ 或 #，也不能以 - 开头</source>
        <translation>printer %1: a CUPS queue&apos;s name holds no blank, / or # and does not start with -</translation>
    </message>
    <message>
        <source>打印机 %1 未知；可写 tcp:主机:端口、设备路径（/dev/usb/lp0）、cups:队列 或 dir:文件夹</source>
        <translation>unknown printer %1; write tcp:HOST:PORT, a device path (/dev/usb/lp0), cups:QUEUE or dir:FOLDER</translation>
    </message>
</context>
<context>
    <name>pairwick::provision</name>
    <message>
        <source>读取波特率、校验位、停止位</source>
        <translation>read baud, parity, stop</translation>
    </message>
    <message>
        <source>读取 %1</source>
        <translation>read %1</translation>
    </message>
    <message>
        <source>%1 毫秒内没有回复</source>
        <translation>no reply within %1 ms</translation>
    </message>
    <message>
        <source>回复不完整：%1</source>
        <translation>incomplete reply %1</translation>
    </message>
    <message>
        <source>适配器回复 %1</source>
        <translation>the adapter answered %1</translation>
    </message>
    <message>
        <source>探测</source>
        <translation>probe</translation>
    </message>
    <message>
        <source>没有适配器回应 AT</source>
        <translation>no adapter answers AT</translation>
    </message>
    <message>
        <source>写入 bind</source>
        <translation>write bind</translation>
    </message>
    <message>
        <source>适配器处于从角色，不保存绑定地址；请同时设置 role=master</source>
        <translation>the adapter is in the slave role, where it keeps no bound address; set role=master with it</translation>
    </message>
    <message>
        <source>写入 %1=%2</source>
        <translation>write %1=%2</translation>
    </message>
    <message>
        <source>校验 %1</source>
        <translation>verify %1</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>reset</translation>
    </message>
    <message>
        <source>等待适配器就绪</source>
        <translation>settle</translation>
    </message>
    <message>
        <source>，见回复 </source>
        <translation> in </translation>
    </message>
    <message>
        <source>写入 %1</source>
        <translation>write %1</translation>
    </message>
    <message>
        <source>回复无法读出：%1</source>
        <translation>unreadable reply: %1</translation>
    </message>
    <message>
        <source>读回的值与写入的不同：%1</source>
        <translation>read back other than written: %1</translation>
    </message>
    <message>
        <source>串口设备已断开或停止响应：%1</source>
        <translation>the serial device was disconnected or stopped responding: %1</translation>
    </message>
    <message>
        <source>串口出错：%1</source>
        <translation>port error: %1</translation>
    </message>
    <message>
        <source>没有回复</source>
        <translation>no reply</translation>
    </message>
    <message>
        <source>回复不完整</source>
        <translation>an incomplete reply</translation>
    </message>
    <message>
        <source>适配器拒绝了命令</source>
        <translation>the adapter refused the command</translation>
    </message>
    <message>
        <source>回复无法读出</source>
        <translation>an unreadable reply</translation>
    </message>
    <message>
        <source>读回的值与写入的不同</source>
        <translation>the value read back differs from the one written</translation>
    </message>
    <message>
        <source>模块的值无法形成</source>
        <translation>the unit&apos;s values could not be formed</translation>
    </message>
    <message>
        <source>串口设备已断开或停止响应</source>
        <translation>the port&apos;s device is gone or stopped answering</translation>
    </message>
    <message>
        <source>串口出错</source>
        <translation>a port error</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>停止时仍在等待回复</source>
        <translation>stopped while a reply was awaited</translation>
    </message>
    <message>
        <source>台账出错</source>
        <translation>a ledger error</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>other</translation>
    </message>
</context>
<context>
    <name>pairwick::settings</name>
    <message>
        <source>设备名称</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>固件版本号</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>UART参数</source>
        <translation>UART settings</translation>
    </message>
    <message>
        <source>设备的主从角色</source>
        <translation>Role</translation>
    </message>
    <message>
        <source>串口提示信息</source>
        <translation>Prompt messages</translation>
    </message>
    <message>
        <source>PIN码</source>
        <translation>PIN</translation>
    </message>
    <message>
        <source>本地蓝牙地址</source>
        <translation>Local Bluetooth address</translation>
    </message>
    <message>
        <source>绑定从端地址</source>
        <translation>Bound slave address</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>%1 %2 不是适配器可能报告的值</source>
        <translation>%1 %2 is no value the adapter may report</translation>
    </message>
    <message>
        <source>回复太短，容不下 %1</source>
        <translation>the reply is too short to hold the %1</translation>
    </message>
    <message>
        <source>回复太短，容不下 UART 参数</source>
        <translation>the reply is too short to hold the UART settings</translation>
    </message>
    <message>
        <source>是只读的：由适配器报告，不能设置</source>
        <translation>is read-only: the adapter reports it, nobody sets it</translation>
    </message>
    <message>
        <source>必须是 %1 之一</source>
        <translation>must be one of %1</translation>
    </message>
    <message>
        <source>不能含换行符</source>
        <translation>must not contain a line break</translation>
    </message>
    <message>
        <source>不能超过 %1 个字符</source>
        <translation>must be at most %1 characters</translation>
    </message>
    <message>
        <source>&quot;bind&quot; 只在 master 角色下写入，而 &quot;role&quot; 设为了 slave</source>
        <translation>&quot;bind&quot; is written only in the master role, and &quot;role&quot; is set to slave</translation>
    </message>
</context>
<context>
    <name>pairwick::station</name>
    <message>
        <source>运行通过后命令</source>
        <translation>running the on-pass command</translation>
    </message>
    <message>
        <source>通过后命令未能启动：%1</source>
        <translation>on-pass command did not start: %1</translation>
    </message>
    <message>
        <source>通过后命令运行超过 %1 秒，已被终止</source>
        <translation>on-pass command ran longer than %1 s and was ended</translation>
    </message>
    <message>
        <source>通过后命令崩溃</source>
        <translation>on-pass command crashed</translation>
    </message>
    <message>
        <source>通过后命令以状态 %1 退出</source>
        <translation>on-pass command exited with status %1</translation>
    </message>
    <message>
        <source>已写入：%1</source>
        <translation>written: %1</translation>
    </message>
    <message>
        <source>已发出，结果未知：%1</source>
        <translation>sent, outcome unknown: %1</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>（警告：%1）</source>
        <translation> (warning: %1)</translation>
    </message>
    <message>
        <source>已配置为 %1（#%2，%3，%4）</source>
        <translation>already provisioned as %1 (#%2, %3, %4)</translation>
    </message>
    <message>
        <source>在“%1”之前停止</source>
        <translation>stopped before %1</translation>
    </message>
    <message>
        <source>停止前“%1”没有得到回复</source>
        <translation>no reply to %1 before the stop</translation>
    </message>
    <message>
        <source>另一个工位正在配置此地址（%1）</source>
        <translation>another station is provisioning this address right now (%1)</translation>
    </message>
    <message>
        <source>模块的值</source>
        <translation>values</translation>
    </message>
    <message>
        <source>预留编号</source>
        <translation>reserve</translation>
    </message>
    <message>
        <source>凑满本批次的模块正在别处进行</source>
        <translation>the units that complete the batch are in progress elsewhere</translation>
    </message>
    <message>
        <source>台账无法访问，正在重试：%1</source>
        <translation>ledger unreachable, retrying: %1</translation>
    </message>
    <message>
        <source>暂存文件未写入：%1</source>
        <translation>spool not written: %1</translation>
    </message>
    <message>
        <source>正在存入结果</source>
        <translation>storing the result</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>read</translation>
    </message>
    <message>
        <source>批次已完成</source>
        <translation>the batch is complete</translation>
    </message>
    <message>
        <source>工位已停止</source>
        <translation>the station stopped</translation>
    </message>
    <message>
        <source>%1；此模块未配置</source>
        <translation>%1; this unit was not provisioned</translation>
    </message>
    <message>
        <source>%1 的名称最多 %2 个字符，而不是 %3 个</source>
        <translation>%1 takes a name of up to %2 characters, not %3</translation>
    </message>
    <message>
        <source>%1 不能含控制字符：%2</source>
        <translation>%1 takes no control characters: %2</translation>
    </message>
    <message>
        <source>--first 须为 0 或更大的数，而不是 %1</source>
        <translation>--first takes a number from 0 up, not %1</translation>
    </message>
    <message>
        <source>--count 须为 1 或更大的数，而不是 %1</source>
        <translation>--count takes a number from 1 up, not %1</translation>
    </message>
    <message>
        <source>工位至少需要一个槽（SLOT）</source>
        <translation>station needs at least one SLOT</translation>
    </message>
    <message>
        <source>有一个槽（SLOT）出现了两次</source>
        <translation>a SLOT is named twice</translation>
    </message>
    <message>
        <source>工位需要批次名称（--batch NAME）</source>
        <translation>station needs --batch NAME</translation>
    </message>
    <message>
        <source>--station 需要一个名称</source>
        <translation>--station needs a name</translation>
    </message>
    <message>
        <source>--timeout 须为 1 到 %1 毫秒，而不是 %2</source>
        <translation>--timeout takes 1 to %1 milliseconds, not %2</translation>
    </message>
    <message>
        <source>批次 %1 是新的；请用 --profile、--set 或 --values 给出它的规则</source>
        <translation>batch %1 is new; give its rules with --profile, --set or --values</translation>
    </message>
    <message>
        <source>批次 %1：无法读取它存储的规则：%2</source>
        <translation>batch %1: its stored rules cannot be read: %2</translation>
    </message>
    <message>
        <source>批次 %1 开始时用的是别的规则：%2</source>
        <translation>batch %1 was started with other rules: %2</translation>
    </message>
    <message>
        <source>本机上已有名为 %1 的工位在运行（%2）</source>
        <translation>another station named %1 is running on this machine (%2)</translation>
    </message>
    <message>
        <source>%1：%2（%3的模块）</source>
        <translation>%1: %2 (for the unit of %3)</translation>
    </message>
    <message>
        <source>起始编号：%1；模块从 0 开始编号</source>
        <translation>first number: %1; units are numbered from 0 up</translation>
    </message>
    <message>
        <source>%1 不是一个对象</source>
        <translation>%1 is not an object</translation>
    </message>
    <message>
        <source>%1 含有键 &quot;%2&quot;，它不是可写入的设置</source>
        <translation>%1 has the key &quot;%2&quot;, which is not a setting to write</translation>
    </message>
    <message>
        <source>值的第 %1 行</source>
        <translation>values row %1</translation>
    </message>
    <message>
        <source>%1：没有行号</source>
        <translation>%1: no line number</translation>
    </message>
    <message>
        <source>%1：模块 &quot;%2&quot; 之前已有一行</source>
        <translation>%1: the unit &quot;%2&quot; has a row before</translation>
    </message>
    <message>
        <source>这些值不是含有来源和各行的对象</source>
        <translation>the values are not an object with a source and rows</translation>
    </message>
    <message>
        <source>这些值按 &quot;%1&quot; 挑选模块，而不是按 seq 或 address</source>
        <translation>the values pick units by &quot;%1&quot;, not by seq or address</translation>
    </message>
    <message>
        <source>起始编号不是整数</source>
        <translation>the first number is not a whole number</translation>
    </message>
    <message>
        <source>批次的规则：%1</source>
        <translation>the batch&apos;s rules: %1</translation>
    </message>
    <message>
        <source>未加引号的单元格里有引号；请给整个单元格加引号，并把其中的引号写两次</source>
        <translation>a quote inside an unquoted cell; quote the whole cell and double the quotes in it</translation>
    </message>
    <message>
        <source>这里开始的引号没有结束</source>
        <translation>a quote opened here is never closed</translation>
    </message>
    <message>
        <source>结束引号之后还有文字；请给整个单元格加引号，并把其中的引号写两次</source>
        <translation>text after a closing quote; quote the whole cell and double the quotes in it</translation>
    </message>
    <message>
        <source>%1：不是本工位写的暂存文件；请把它移走后再继续</source>
        <translation>%1: not a spool this station wrote; move it away to go on</translation>
    </message>
    <message>
        <source>%1：无法创建该文件夹</source>
        <translation>%1: the folder cannot be made</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>%1：这里是 %2，批次中是 %3</source>
        <translation>%1: %2 here, %3 in the batch</translation>
    </message>
    <message>
        <source>1 行</source>
        <translation>1 row</translation>
    </message>
    <message>
        <source>%1 行</source>
        <translation>%1 rows</translation>
    </message>
    <message>
        <source>这里按 %1 挑选模块，批次中按 %2</source>
        <translation>units picked by %1 here, by %2 in the batch</translation>
    </message>
    <message>
        <source>这里 %1，批次中 %2</source>
        <translation>%1 here, %2 in the batch</translation>
    </message>
    <message>
        <source>这里是模块 %1 的一行，批次中是模块 %2 的</source>
        <translation>a row for unit %1 here, for unit %2 in the batch</translation>
    </message>
    <message>
        <source>模块 %1 的一行：%2</source>
        <translation>the row for unit %1: %2</translation>
    </message>
    <message>
        <source>这里没有，批次中 %1</source>
        <translation>none here, %1 in the batch</translation>
    </message>
    <message>
        <source>这里 %1，批次中没有</source>
        <translation>%1 here, none in the batch</translation>
    </message>
    <message>
        <source>起始编号：这里是 %1，批次中是 %2</source>
        <translation>first number: %1 here, %2 in the batch</translation>
    </message>
    <message>
        <source>值文件：%1</source>
        <translation>values file: %1</translation>
    </message>
    <message>
        <source>模板 &quot;%1&quot;：%2</source>
        <translation>template &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>模板 &quot;%1&quot; 得到 &quot;%2&quot;，它%3</source>
        <translation>template &quot;%1&quot; gives &quot;%2&quot;, which %3</translation>
    </message>
    <message>
        <source>%1 第 %2 行：不是有效的 UTF-8；请把文件存为 UTF-8</source>
        <translation>%1 line %2: not valid UTF-8; save the file as UTF-8</translation>
    </message>
    <message>
        <source>%1 第 %2 行的列</source>
        <translation>%1 line %2 column</translation>
    </message>
    <message>
        <source>%1：这一列出现了两次</source>
        <translation>%1: the column is there twice</translation>
    </message>
    <message>
        <source>%1：模块按 &quot;seq&quot; 或按 &quot;address&quot; 挑选，不能两者都用</source>
        <translation>%1: units are picked by &quot;seq&quot; or by &quot;address&quot;, not by both</translation>
    </message>
    <message>
        <source>%1：不是值文件的列；列应为 seq 或 address，以及 %2</source>
        <translation>%1: not a column of a values file; the columns are seq or address, and %2</translation>
    </message>
    <message>
        <source>%1 第 %2 行：没有用来挑选模块的 &quot;seq&quot; 或 &quot;address&quot; 列</source>
        <translation>%1 line %2: no column &quot;seq&quot; or &quot;address&quot; to pick the units by</translation>
    </message>
    <message>
        <source>%1：这一行有 %2 个单元格，而第一行有 %3 列</source>
        <translation>%1: the row has %2 cells, the first line %3 columns</translation>
    </message>
    <message>
        <source>%1：模块 &quot;%2&quot; 已在第 %3 行有一行</source>
        <translation>%1: the unit &quot;%2&quot; already has the row on line %3</translation>
    </message>
    <message>
        <source>%1：为空；它的第一行应列出各列：seq 或 address，以及各个键</source>
        <translation>%1: empty; its first line names the columns: seq or address, and keys</translation>
    </message>
    <message>
        <source>可用的字段有 {seq}、{seq:W}、{addr:N}、{random:N}，{{ 和 }} 表示花括号本身</source>
        <translation>the fields are {seq}, {seq:W}, {addr:N}, {random:N}, and {{ and }} for literal braces</translation>
    </message>
    <message>
        <source>字段 &quot;{%1}&quot;：宽度须为 1 到 %2 的数</source>
        <translation>field &quot;{%1}&quot;: the width must be a number from 1 to %2</translation>
    </message>
    <message>
        <source>字段 &quot;{%1}&quot;：地址 &quot;%2&quot; 只有 %3 个十六进制数字</source>
        <translation>field &quot;{%1}&quot;: the address &quot;%2&quot; has only %3 hex digits</translation>
    </message>
    <message>
        <source>未知字段 &quot;{%1}&quot;；%2</source>
        <translation>field &quot;{%1}&quot; is unknown; %2</translation>
    </message>
    <message>
        <source>第 %2 个字符处有单独的 &quot;%1&quot;；花括号本身请写 &quot;%1%1&quot;</source>
        <translation>a lone &quot;%1&quot; at character %2; write &quot;%1%1&quot; for a brace</translation>
    </message>
    <message>
        <source>%1 第 %2 行</source>
        <translation>%1 line %2</translation>
    </message>
    <message>
        <source>%1的列 &quot;%2&quot;：%3</source>
        <translation>%1 column &quot;%2&quot;: %3</translation>
    </message>
    <message>
        <source>%1：&quot;%2&quot; 不是文本</source>
        <translation>%1: &quot;%2&quot; is not a string</translation>
    </message>
    <message>
        <source>%1：&quot;%2&quot; 不是模块的键</source>
        <translation>%1: &quot;%2&quot; is not a unit&apos;s key</translation>
    </message>
    <message>
        <source>%1：&quot;%2&quot; 不是模块编号（须为 0 或更大的整数）</source>
        <translation>%1: &quot;%2&quot; is not a unit number (a whole number, 0 or more)</translation>
    </message>
    <message>
        <source>%1：&quot;%2&quot; 不是 %3 位十六进制数字的地址</source>
        <translation>%1: &quot;%2&quot; is not an address of %3 hex digits</translation>
    </message>
    <message>
        <source>模块的值无法形成：%1</source>
        <translation>the unit&apos;s values cannot be formed: %1</translation>
    </message>
    <message>
        <source>台账出错：%1</source>
        <translation>ledger error: %1</translation>
    </message>
    <message>
        <source>尝试次数上限不是整数</source>
        <translation>the limit of attempts is not a whole number</translation>
    </message>
    <message>
        <source>--max-attempts：这里是 %1，批次中是 %2</source>
        <translation>--max-attempts: %1 here, %2 in the batch</translation>
    </message>
    <message>
        <source>--max-attempts 须为 1 到 %1，而不是 %2</source>
        <translation>--max-attempts takes 1 to %1, not %2</translation>
    </message>
    <message>
        <source>请放到一边：#%1 已尝试 %2 次，不再写入</source>
        <translation>set it aside: #%1 had %2 attempts and is not written again</translation>
    </message>
    <message>
        <source>--slot-alarm 须为 0（不报警）到 %1，而不是 %2</source>
        <translation>--slot-alarm must be 0 (no alarm) to %1, not %2</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow</name>
    <message>
        <source>台账结构的更新已中断，台账保持原来的结构</source>
        <translation>The migration of the ledger was interrupted; the ledger keeps its old schema</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::LabelReprinter</name>
    <message>
        <source>重新打印须写明原因；没有打印任何标签</source>
        <translation>A reprint needs a reason; no label was printed</translation>
    </message>
    <message>
        <source>设置页上的标签模板和打印机尚不可用；没有打印任何标签</source>
        <translation>The label template and printer on the set-up page are not usable yet; no label was printed</translation>
    </message>
    <message>
        <source>台账不可用：%1</source>
        <translation>Ledger unreachable: %1</translation>
    </message>
    <message>
        <source>已重新打印 %1 个标签</source>
        <translation>%1 labels printed again</translation>
    </message>
    <message>
        <source>批次 %1 中没有模块 %2；没有打印任何标签</source>
        <translation>Batch %1 has no unit %2; no label was printed</translation>
    </message>
    <message>
        <source>模块 %1 未通过（%2），不能打印标签；没有打印任何标签</source>
        <translation>Unit %1 did not pass (%2) and gets no label; no label was printed</translation>
    </message>
    <message>
        <source>模块 %1 的标签未能打印：%2；已打印 %3 个，共 %4 个</source>
        <translation>The label of unit %1 was not printed: %2; %3 of %4 labels were printed</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::LedgerPage</name>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>导出 CSV……</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>全部结果</source>
        <translation>All results</translation>
    </message>
    <message>
        <source>按编号或名称、地址的开头搜索</source>
        <translation>Search by number, or by the start of a name or address</translation>
    </message>
    <message>
        <source>批次的模块</source>
        <translation>The batch&apos;s units</translation>
    </message>
    <message>
        <source>批次 %1：%2 个模块</source>
        <translation>Batch %1: %2 units</translation>
    </message>
    <message>
        <source>台账不可用：%1</source>
        <translation>Ledger unreachable: %1</translation>
    </message>
    <message>
        <source>导出 CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>已导出 %1 个模块到 %2</source>
        <translation>Exported %1 units to %2</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>打印标签……</source>
        <translation>Print labels…</translation>
    </message>
    <message>
        <source>打印标签</source>
        <translation>Print labels</translation>
    </message>
    <message>
        <source>重新打印所选已通过模块的标签，并记下原因</source>
        <translation>Prints the labels of the selected passed units again and records why</translation>
    </message>
    <message>
        <source>重新打印 %1 个标签的原因：</source>
        <translation>Why are %1 labels printed again?</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::RunPage</name>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>每个槽在下一步结束；进行中的模块记为中断</source>
        <translation>Every slot ends at its next step; units in progress are recorded as interrupted</translation>
    </message>
    <message>
        <source>运行中</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>正在停止……</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>批次已完成</source>
        <translation>Batch complete</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::SetupPage</name>
    <message>
        <source>再次写入已通过的模块（用其记录的数值）</source>
        <translation>Write units that already passed again (with their recorded values)</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>批次的起始编号（新批次为 1）</source>
        <translation>The batch&apos;s first number (1 for a new batch)</translation>
    </message>
    <message>
        <source>不限</source>
        <translation>No limit</translation>
    </message>
    <message>
        <source>台账：</source>
        <translation>Ledger:</translation>
    </message>
    <message>
        <source>批次：</source>
        <translation>Batch:</translation>
    </message>
    <message>
        <source>配置文件：</source>
        <translation>Profile:</translation>
    </message>
    <message>
        <source>配置文件 (*.json)</source>
        <translation>Profiles (*.json)</translation>
    </message>
    <message>
        <source>数值文件：</source>
        <translation>Values file:</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>字段（每行一个 键=值）：</source>
        <translation>Fields (one KEY=VALUE a line):</translation>
    </message>
    <message>
        <source>起始编号：</source>
        <translation>First number:</translation>
    </message>
    <message>
        <source>数量：</source>
        <translation>Count:</translation>
    </message>
    <message>
        <source>工位名称：</source>
        <translation>Station name:</translation>
    </message>
    <message>
        <source>通过后运行的命令：</source>
        <translation>Command on pass:</translation>
    </message>
    <message>
        <source>应答超时（毫秒）：</source>
        <translation>Reply timeout (ms):</translation>
    </message>
    <message>
        <source>槽：</source>
        <translation>Slots:</translation>
    </message>
    <message>
        <source>浏览……</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>正在开始……</source>
        <translation>Starting…</translation>
    </message>
    <message>
        <source>批次的上限（新批次为不限）</source>
        <translation>the batch&apos;s limit (none for a new batch)</translation>
    </message>
    <message>
        <source>操作员：</source>
        <translation>Operator:</translation>
    </message>
    <message>
        <source>尝试次数上限：</source>
        <translation>Attempts at most:</translation>
    </message>
    <message>
        <source>打印测试标签</source>
        <translation>Print a test label</translation>
    </message>
    <message>
        <source>tcp:主机:9100、/dev/usb/lp0、cups:队列 或 dir:文件夹</source>
        <translation>tcp:HOST:9100, /dev/usb/lp0, cups:QUEUE or dir:FOLDER</translation>
    </message>
    <message>
        <source>用虚构的示例数值向打印机打印一张标签</source>
        <translation>Prints one label of made-up values on the printer</translation>
    </message>
    <message>
        <source>标签模板：</source>
        <translation>Label template:</translation>
    </message>
    <message>
        <source>标签模板 (*.zpl *.svg)</source>
        <translation>Label templates (*.zpl *.svg)</translation>
    </message>
    <message>
        <source>标签打印机：</source>
        <translation>Label printer:</translation>
    </message>
    <message>
        <source>每个标签的份数：</source>
        <translation>Copies of each label:</translation>
    </message>
    <message>
        <source>连续失败几个模块时提醒检查夹具（0 不提醒）：</source>
        <translation>Failed units in a row that call for a fixture check (0: never):</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::SlotPicker</name>
    <message>
        <source>槽</source>
        <translation>Slot</translation>
    </message>
    <message>
        <source>其他端口：COMn 或设备路径，回车添加</source>
        <translation>Another port: COMn or a device path, Enter adds it</translation>
    </message>
    <message>
        <source>其他端口</source>
        <translation>Another port</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::SlotTile</name>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>无法使用</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>进行中</source>
        <translation>Working</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>已配置过</source>
        <translation>Already provisioned</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>请取出模块</source>
        <translation>Take the unit out</translation>
    </message>
    <message>
        <source>槽 %1</source>
        <translation>Slot %1</translation>
    </message>
    <message>
        <source>等待台账</source>
        <translation>Waiting for the ledger</translation>
    </message>
    <message>
        <source>已拒收</source>
        <translation>Rejected</translation>
    </message>
    <message>
        <source>请检查此槽的夹具（%1 失败）</source>
        <translation>Check this slot&apos;s fixture (%1 failed)</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>槽 %1，请检查夹具</source>
        <translation>Slot %1, check its fixture</translation>
    </message>
    <message>
        <source>标签已打印</source>
        <translation>label printed</translation>
    </message>
    <message>
        <source>标签待打印</source>
        <translation>label waiting for the printer</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::StationWindow</name>
    <message>
        <source>Pairwick 生产工位</source>
        <translation>Pairwick Station</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set-up</translation>
    </message>
    <message>
        <source>运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>台账</source>
        <translation>Ledger</translation>
    </message>
    <message>
        <source>正在打开台账……</source>
        <translation>Opening the ledger…</translation>
    </message>
    <message>
        <source>无法开始：%1</source>
        <translation>Cannot start: %1</translation>
    </message>
    <message>
        <source>批次 %1 在 %2 个槽上运行</source>
        <translation>Batch %1 running in %2 slots</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>批次已达到所要的数量，已停止</source>
        <translation>The batch holds the units asked for; stopped</translation>
    </message>
    <message>
        <source>；%1 个结果尚未存入台账，将在下次开始时存入</source>
        <translation>; %1 results are not in the ledger yet and are stored at the next start</translation>
    </message>
    <message>
        <source>良率</source>
        <translation>Yield</translation>
    </message>
    <message>
        <source>正在打印测试标签……</source>
        <translation>Printing a test label…</translation>
    </message>
    <message>
        <source>测试标签已送往 %1</source>
        <translation>The test label went to %1</translation>
    </message>
    <message>
        <source>测试标签未能打印：%1</source>
        <translation>The test label was not printed: %1</translation>
    </message>
    <message>
        <source>所有标签已打印</source>
        <translation>All labels are printed</translation>
    </message>
    <message>
        <source>；%1 个标签尚未打印，将在打印机可用时或下次开始时打印</source>
        <translation>; %1 labels are not printed yet and print once the printer is back, or at the next start</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::TotalsPanel</name>
    <message>
        <source>整批（所有工位）：读取中……</source>
        <translation>Whole batch (all stations): reading…</translation>
    </message>
    <message>
        <source>本工位：通过 %1&#x3000;失败 %2&#x3000;%3</source>
        <translation>This station: passed %1   failed %2   %3</translation>
    </message>
    <message>
        <source>台账：正常</source>
        <translation>Ledger: reachable</translation>
    </message>
    <message>
        <source>台账不可用：%1</source>
        <translation>Ledger unreachable: %1</translation>
    </message>
    <message>
        <source>&#x3000;待存结果 %1 个</source>
        <translation>   waiting to be stored: %1</translation>
    </message>
    <message>
        <source>每小时 —</source>
        <translation>— an hour</translation>
    </message>
    <message>
        <source>每小时 %1 个</source>
        <translation>%1 an hour</translation>
    </message>
    <message>
        <source>台账：%1 个槽在等待台账</source>
        <translation>Ledger: %1 slots wait for it</translation>
    </message>
    <message>
        <source>拒收 %1&#x3000;</source>
        <translation>rejected %1   </translation>
    </message>
    <message>
        <source>整批（所有工位）：已编号 %1&#x3000;通过 %2&#x3000;失败 %3&#x3000;%4%5</source>
        <translation>Whole batch (all stations): numbered %1   passed %2   failed %3   %4%5</translation>
    </message>
    <message>
        <source>待打印标签 %1 个</source>
        <translation>Labels waiting: %1</translation>
    </message>
    <message>
        <source>&#x3000;打印机不可用：%1</source>
        <translation>   printer away: %1</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::UnitTableModel</name>
    <message>
        <source>编号</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>PIN</source>
        <translation>PIN</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>工位</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>槽</source>
        <translation>Slot</translation>
    </message>
    <message>
        <source>尝试次数</source>
        <translation>Attempts</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
</context>
<context>
    <name>pairwick::stationwindow::YieldPage</name>
    <message>
        <source>图表；它的数字在下面的表格里</source>
        <translation>A chart; its figures are in the table below it</translation>
    </message>
    <message>
        <source>还没有数字</source>
        <translation>No figures yet</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>各槽的首次通过率</source>
        <translation>First-pass yield by slot</translation>
    </message>
    <message>
        <source>槽</source>
        <translation>Slot</translation>
    </message>
    <message>
        <source>模块</source>
        <translation>Units</translation>
    </message>
    <message>
        <source>首次通过</source>
        <translation>First pass</translation>
    </message>
    <message>
        <source>首次通过率</source>
        <translation>First-pass yield</translation>
    </message>
    <message>
        <source>已通过</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Retests</translation>
    </message>
    <message>
        <source>通过用时中位数（秒）</source>
        <translation>Median pass (s)</translation>
    </message>
    <message>
        <source>今天每小时的模块</source>
        <translation>Today&apos;s units by the hour</translation>
    </message>
    <message>
        <source>小时</source>
        <translation>Hour</translation>
    </message>
    <message>
        <source>失败，最常见的在前</source>
        <translation>Failures, most frequent first</translation>
    </message>
    <message>
        <source>步骤</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>次数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>占比</source>
        <translation>Share</translation>
    </message>
    <message>
        <source>范围</source>
        <translation>Scope</translation>
    </message>
    <message>
        <source>本工位</source>
        <translation>This station</translation>
    </message>
    <message>
        <source>整个批次</source>
        <translation>The whole batch</translation>
    </message>
    <message>
        <source>正在读取……</source>
        <translation>Reading……</translation>
    </message>
    <message>
        <source>无法读取台账：%1</source>
        <translation>Cannot read the ledger: %1</translation>
    </message>
    <message>
        <source>%1 个模块，首次通过率 %2，良率 %3</source>
        <translation>%1 units, first-pass yield %2, yield %3</translation>
    </message>
    <message>
        <source>；这些数字可能已过时，请运行 pairwick-cli ledger check</source>
        <translation>; these figures may be stale: run pairwick-cli ledger check</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
</context>
<context>
    <name>pairwick::window::Connection</name>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>断开</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>串口已关闭！</source>
        <translation>Port closed!</translation>
    </message>
    <message>
        <source>串口已打开！</source>
        <translation>Port opened!</translation>
    </message>
    <message>
        <source>连接成功！</source>
        <translation>Connected!</translation>
    </message>
    <message>
        <source>连接蓝牙设备时通信超时！</source>
        <translation>Timed out connecting to the Bluetooth device!</translation>
    </message>
    <message>
        <source>已连接：%1</source>
        <translation>Online: %1</translation>
    </message>
</context>
<context>
    <name>pairwick::window::Form1</name>
    <message>
        <source>准备</source>
        <translation>Ready</translation>
    </message>
</context>
</TS>
