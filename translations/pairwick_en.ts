<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
    <name>pairwick::link::PortError</name>
    <message>
        <source>串口设备 %1 已断开或停止响应。</source>
        <translation>The serial device %1 was disconnected or stopped responding.</translation>
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
